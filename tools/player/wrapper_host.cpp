#include "tools/player/wrapper_host.h"

WrapperHost::WrapperHost(const std::string& dll_path)
{
    module_ = LoadLibraryA(dll_path.c_str());
    if (!module_) {
        error_ = "cannot load " + dll_path + " (error " + std::to_string(GetLastError()) + ")";
        return;
    }
    using QueryVisual = VisualPluginObject**(__stdcall*)(VisualPluginObject**);
    auto query = reinterpret_cast<QueryVisual>(
        reinterpret_cast<void*>(GetProcAddress(module_, "ZEKO_QueryVisual")));
    if (!query) {
        error_ = dll_path + " has no ZEKO_QueryVisual export";
        return;
    }
    query(&object_);
    if (!object_)
        error_ = "ZEKO_QueryVisual gave no object";
    else
        object_->operation_table->AddRef(object_);
}

WrapperHost::~WrapperHost()
{
    if (object_)
        object_->operation_table->Release(object_);
    if (module_)
        FreeLibrary(module_);
}
