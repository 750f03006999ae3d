#include "tests/support/wrapper_dll.h"

#include <gtest/gtest.h>

std::string build_dir()
{
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path, length);
    return dir.substr(0, dir.find_last_of("\\/") + 1);
}

WrapperDll::WrapperDll()
{
    module_ = LoadLibraryA((build_dir() + "zeko_vis_winamp.dll").c_str());
    if (!module_) {
        ADD_FAILURE() << "zeko_vis_winamp.dll did not load, error " << GetLastError();
        return;
    }
    using QueryVisual = VisualPluginObject** (__stdcall*)(VisualPluginObject**);
    auto query = proc_address<QueryVisual>(module_, "ZEKO_QueryVisual");
    if (!query) {
        ADD_FAILURE() << "ZEKO_QueryVisual is not exported";
        return;
    }
    query(&object_);
}

WrapperDll::~WrapperDll()
{
    if (module_)
        FreeLibrary(module_);
}
