// Loads zeko_vis_winamp.dll and holds the object it hands out, calling its operations the
// way the player does: stdcall through the table, the object first.
#pragma once

#include "host/plugin_object.h"

#include <string>

class WrapperHost {
public:
    // Loads the DLL from dll_path; loaded() tells whether that worked, error() why not.
    explicit WrapperHost(const std::string& dll_path);
    ~WrapperHost();
    WrapperHost(const WrapperHost&) = delete;
    WrapperHost& operator=(const WrapperHost&) = delete;

    bool loaded() const { return object_ != nullptr; }
    const std::string& error() const { return error_; }

    std::wstring name() const { return ops().GetName(object_); }
    int32_t initialize() { return ops().Initialize(object_); }
    void finalize() { ops().Finalize(object_); }
    void render(HDC dc, const void* visual_data)
    {
        ops().Render(object_, dc, static_cast<const uint8_t*>(visual_data));
    }
    void resize(int32_t width, int32_t height) { ops().Resize(object_, width, height); }
    void click() { ops().Click(object_, 0, 0); }

private:
    const VisualPluginOperations& ops() const { return *object_->operation_table; }

    HMODULE module_ = nullptr;
    VisualPluginObject* object_ = nullptr;
    std::string error_;
};
