#include "bench/hosted_wrapper.h"

#include <cstdio>

HostedWrapper::HostedWrapper(const std::string& dir)
{
    module_ = LoadLibraryA((dir + "zeko_vis_winamp.dll").c_str());
    if (!module_) {
        fprintf(stderr, "zeko_vis_winamp.dll did not load, error %lu\n", GetLastError());
        return;
    }
    using QueryVisual = VisualPluginObject** (__stdcall*)(VisualPluginObject**);
    auto query = reinterpret_cast<QueryVisual>(
        reinterpret_cast<void*>(GetProcAddress(module_, "ZEKO_QueryVisual")));
    if (!query) {
        fprintf(stderr, "zeko_vis_winamp.dll exports no ZEKO_QueryVisual\n");
        return;
    }
    query(&object_);
}

HostedWrapper::~HostedWrapper()
{
    if (module_)
        FreeLibrary(module_);
}

std::string program_dir()
{
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string full(path, length < MAX_PATH ? length : 0);
    return full.substr(0, full.find_last_of("\\/") + 1);
}
