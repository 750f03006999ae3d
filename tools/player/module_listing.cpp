#include "tools/player/module_listing.h"

#include "runtime/winamp_vis.h"

#include <sstream>

namespace {

// More than any plug-in offers; a module_by_index that never says "no more" stops here.
constexpr int kMostModules = 32;

std::string system_error_text(DWORD code)
{
    char text[512] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, text, sizeof text, nullptr);
    std::string message = length ? std::string(text, length) : "";
    message.erase(message.find_last_not_of(" \r\n.") + 1);
    return "does not load: " + (message.empty() ? "error " + std::to_string(code) : message);
}

}  // namespace

ModuleListing list_modules(const std::string& dll_path)
{
    ModuleListing listing;
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE library = LoadLibraryA(dll_path.c_str());
    if (!library) {
        listing.error = system_error_text(GetLastError());
        return listing;
    }
    listing.loaded = true;
    auto get_header = reinterpret_cast<WinampVisGetHeaderFunction>(
        reinterpret_cast<void*>(GetProcAddress(library, "winampVisGetHeader")));
    if (!get_header) {
        listing.error = "not a visualization plug-in: no winampVisGetHeader";
        return listing;
    }
    WinampVisHeader* header = get_header(nullptr);
    if (!header || !header->module_by_index) {
        listing.error = "its header offers no modules";
        return listing;
    }
    for (int index = 0; index < kMostModules; ++index) {
        WinampVisModule* module = header->module_by_index(index);
        if (!module)
            break;
        listing.modules.push_back(module->description ? module->description : "");
    }
    if (listing.modules.empty())
        listing.error = "its header offers no modules";
    return listing;
}

std::string listing_text(const ModuleListing& listing)
{
    std::ostringstream out;
    out << "loaded=" << listing.loaded << "\n";
    if (!listing.error.empty())
        out << "error=" << listing.error << "\n";
    for (std::string description : listing.modules) {
        for (char& c : description) {
            if (c == '\r' || c == '\n')
                c = ' ';
        }
        out << "module=" << description << "\n";
    }
    return out.str();
}

ModuleListing read_listing(const std::string& text)
{
    ModuleListing listing;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("loaded=", 0) == 0)
            listing.loaded = line.substr(7) == "1";
        else if (line.rfind("error=", 0) == 0)
            listing.error = line.substr(6);
        else if (line.rfind("module=", 0) == 0)
            listing.modules.push_back(line.substr(7));
    }
    return listing;
}
