// Files that look like plug-ins but are not loadable 32-bit libraries.
#pragma once

#include <string>

// Writes the headers of a 64-bit (PE32+) DLL with no sections: valid enough that the
// loader recognises its machine and refuses it for that reason.
bool write_64bit_dll(const std::string& path);
