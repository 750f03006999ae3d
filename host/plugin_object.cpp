#include "host/plugin_object.h"

#include "host/command_menu.h"
#include "host/plugin_selection.h"
#include "host/settings.h"
#include "host/wrapper_state.h"
#include "runtime/render_thread.h"

namespace {

int32_t __stdcall QueryInterface(VisualPluginObject*, uint32_t, uint32_t)
{
    return 0;
}

int32_t __stdcall AddRef(VisualPluginObject* self)
{
    return ++self->reference_count;
}

int32_t __stdcall Release(VisualPluginObject* self)
{
    return --self->reference_count;
}

const wchar_t* __stdcall GetAuthor(VisualPluginObject*)
{
    return L"Ruvek";
}

const wchar_t* __stdcall GetName(VisualPluginObject*)
{
    return L"ZEKO Winamp Wrapper 0.2";
}

const wchar_t* __stdcall GetInfo(VisualPluginObject*)
{
    return L"Wrapper for Winamp visual plugins";
}

int32_t __stdcall GetFlags(VisualPluginObject*)
{
    return 7;
}

int32_t __stdcall Initialize(VisualPluginObject*)
{
    if (!g_state.host_app_window)
        g_state.host_app_window = FindWindowA("TApplication", nullptr);
    if (!g_state.host_winamp_window)
        g_state.host_winamp_window = FindWindowA("Winamp v1.x", nullptr);

    if (!g_state.audio_lock_ready) {
        InitializeCriticalSection(&g_state.audio_lock);
        g_state.audio_lock_ready = true;
    }

    resolve_settings_path();
    load_settings(g_state.ini_path);
    compute_plugin_dir();
    destroy_command_menu();
    create_command_menu();
    start_render_thread(kRenderRun);
    return 1;
}

void __stdcall Finalize(VisualPluginObject*)
{
    stop_render_thread();
    if (g_state.audio_lock_ready) {
        DeleteCriticalSection(&g_state.audio_lock);
        g_state.audio_lock_ready = false;
    }
    destroy_command_menu();
    save_settings(g_state.ini_path);
}

void __stdcall Resize(VisualPluginObject* self, int32_t width, int32_t height)
{
    self->panel_width = width;
    self->panel_height = height;
}

const VisualPluginOperations kOperations = {
    QueryInterface, AddRef, Release, GetAuthor, GetName, GetInfo,
    GetFlags,       Initialize, Finalize, Click, Render, Resize,
};

}  // namespace

VisualPluginObject g_visual_plugin_object = {&kOperations, 0, 0, 0};

extern "C" VisualPluginObject** __stdcall ZEKO_QueryVisual(VisualPluginObject** out)
{
    *out = &g_visual_plugin_object;
    return out;
}
