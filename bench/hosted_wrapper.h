// zeko_vis_winamp.dll loaded the way the player loads it: LoadLibrary, ZEKO_QueryVisual,
// and the object's stdcall operations called through its table.
#pragma once

#include "host/plugin_object.h"

#include <string>

class HostedWrapper {
public:
    // dir ends with a separator.
    explicit HostedWrapper(const std::string& dir);
    ~HostedWrapper();
    HostedWrapper(const HostedWrapper&) = delete;
    HostedWrapper& operator=(const HostedWrapper&) = delete;

    // False when the DLL did not load or has no export; the operations are then not usable.
    bool ok() const { return object_ != nullptr; }

    int32_t initialize() { return table().Initialize(object_); }
    void finalize() { table().Finalize(object_); }
    void render(HDC dc, const uint8_t* data) { table().Render(object_, dc, data); }
    void resize(int32_t width, int32_t height) { table().Resize(object_, width, height); }

private:
    const VisualPluginOperations& table() const { return *object_->operation_table; }

    HMODULE module_ = nullptr;
    VisualPluginObject* object_ = nullptr;
};

// The folder of the running program, with a trailing separator.
std::string program_dir();
