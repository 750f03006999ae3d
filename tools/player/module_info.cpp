#include "tools/player/module_info.h"

#include "runtime/winamp_vis.h"

ModuleInfo read_module_info(const std::string& plugin_path, int32_t module_index, HWND parent)
{
    ModuleInfo info;
    HMODULE library = GetModuleHandleA(plugin_path.c_str());
    if (!library)
        return info;
    auto get_header = reinterpret_cast<WinampVisGetHeaderFunction>(
        reinterpret_cast<void*>(GetProcAddress(library, "winampVisGetHeader")));
    WinampVisHeader* header = get_header ? get_header(parent) : nullptr;
    if (!header || !header->module_by_index)
        return info;
    WinampVisModule* module = header->module_by_index(module_index);
    // The wrapper falls back to the first module when the chosen one does not exist.
    if (!module)
        module = header->module_by_index(0);
    if (!module)
        return info;
    info.found = true;
    info.plugin_description = header->description ? header->description : "";
    info.module_description = module->description ? module->description : "";
    info.frame_delay_ms = module->frame_delay;
    return info;
}
