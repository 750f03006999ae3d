// Loads the real zeko_vis_winamp.dll and calls its operations through the table exactly
// as the player does: stdcall, the object first.
#pragma once

#include "host/plugin_object.h"

#include <string>

// A function of a loaded DLL as the type it is called through.
template <typename Function>
Function proc_address(HMODULE module, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// The folder of the running test program (the build folder), with a trailing "\\".
std::string build_dir();

class WrapperDll {
public:
    // Loads the DLL from the build folder; a fresh load starts from fresh state.
    WrapperDll();
    ~WrapperDll();
    WrapperDll(const WrapperDll&) = delete;
    WrapperDll& operator=(const WrapperDll&) = delete;

    HMODULE module() const { return module_; }
    VisualPluginObject* object() const { return object_; }
    const VisualPluginOperations& ops() const { return *object_->operation_table; }

    int32_t initialize() { return ops().Initialize(object_); }
    void finalize() { ops().Finalize(object_); }
    void render(HDC dc, const uint8_t* data) { ops().Render(object_, dc, data); }
    void resize(int32_t width, int32_t height) { ops().Resize(object_, width, height); }
    void click() { ops().Click(object_, 0, 0); }

private:
    HMODULE module_ = nullptr;
    VisualPluginObject* object_ = nullptr;
};
