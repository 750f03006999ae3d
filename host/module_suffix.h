// The module suffix of a chosen plug-in file name: "vis_x.dll$2" (or "vis_x.dll$2.dll"
// once the file dialog has added its default extension) chooses module 2 of vis_x.dll.
#pragma once

#include <cstdint>

// Reads the suffix from the end of name and cuts it off in place by writing terminators.
// Returns the module index it names, 0 when there is none. Four fixed positions counted
// from the end are tested in order, each on the text as the earlier tests left it:
// "$" at L-3 (two digits), "$" at L-2 (one digit), "$" at L-6 before ".dll" (one digit) and
// "$" at L-7 before ".dll" (two digits); ".dll" in any case. Digits are read as atoi does.
int32_t take_module_suffix(char* name);
