// The survey's look at a plug-in file before it runs any module: does it load, and what
// modules does its header offer. Done in a child process of its own, since a header
// function may crash or hang.
#pragma once

#include <string>
#include <vector>

struct ModuleListing {
    bool loaded = false;
    std::string error;  // why it did not load, or why it offers no module
    std::vector<std::string> modules;
};

// Loads the DLL and asks its header for its modules.
ModuleListing list_modules(const std::string& dll_path);

// The listing as "key=value" lines for the parent, and back.
std::string listing_text(const ModuleListing& listing);
ModuleListing read_listing(const std::string& text);
