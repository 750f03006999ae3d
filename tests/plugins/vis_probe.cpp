// vis_probe: a Winamp visualization plug-in that does whatever its control block says and
// records every call it gets.
#include "runtime/winamp_vis.h"
#include "tests/plugins/vis_probe_control.h"
#include "tests/plugins/vis_probe_dialog.h"
#include "tests/plugins/vis_probe_faults.h"
#include "tests/plugins/vis_probe_fuzz.h"
#include "tests/plugins/vis_probe_script.h"
#include "tests/plugins/vis_probe_sdk.h"
#include "tests/plugins/vis_probe_threads.h"
#include "tests/plugins/vis_probe_window.h"
#include "tests/plugins/vis_probe_worker.h"

#include <ctime>

namespace {

ProbeControl g_control;
WinampVisModule g_modules[kProbeMaxModules];
char g_descriptions[kProbeMaxModules][32];
LONG g_init_calls = 0;
LONG g_boxes_shown = 0;
LONG g_sdk_renders = 0;
DWORD g_ready_tick = 0;

void record(ProbeEntry entry, int32_t module, intptr_t argument, HWND parent)
{
    const LONG slot = InterlockedIncrement(&g_control.calls_reserved) - 1;
    if (slot >= kProbeMaxCalls)
        return;
    ProbeCall& call = g_control.calls[slot];
    call.entry = entry;
    call.module = module;
    call.argument = argument;
    call.thread_id = GetCurrentThreadId();
    call.clock = static_cast<int32_t>(clock());
    call.parent = parent;
    if (module >= 0) {
        const WinampVisModule& seen = g_modules[module];
        call.sample_rate = seen.sample_rate;
        call.channel_count = seen.channel_count;
        for (int row = 0; row < 2; ++row) {
            call.spectrum_seen[row][0] = seen.spectrum_values[row][0];
            call.spectrum_seen[row][1] = seen.spectrum_values[row][288];
            call.waveform_seen[row][0] = seen.waveform_samples[row][0];
            call.waveform_seen[row][1] = seen.waveform_samples[row][288];
        }
    }
    InterlockedIncrement(&g_control.call_count);
}

void misbehave(ProbeEntry entry)
{
    if (g_control.hang_ms[entry] > 0)
        Sleep(g_control.hang_ms[entry]);
    raise_fault(g_control.faults[entry]);
}

void send_requests(ProbeEntry entry, HWND parent)
{
    if (g_control.requests_from != entry || g_control.requests_done)
        return;
    const int count = g_control.request_count < kProbeMaxRequests ? g_control.request_count
                                                                   : kProbeMaxRequests;
    for (int i = 0; i < count; ++i) {
        const UINT message = g_control.request_messages[i] ? g_control.request_messages[i] : WM_USER;
        const DWORD start = GetTickCount();
        g_control.request_answers[i] = SendMessageA(parent, message, g_control.request_wparams[i],
                                                    g_control.request_codes[i]);
        g_control.request_ms[i] = GetTickCount() - start;
    }
    g_control.requests_done = 1;
}

void show_box(ProbeEntry entry, HWND parent)
{
    if (g_control.message_box_from == entry && InterlockedIncrement(&g_boxes_shown) == 1)
        g_control.message_box_result = MessageBoxA(parent, "vis_probe asks", "vis_probe", MB_OK);
}

int32_t module_number(WinampVisModule* module)
{
    return static_cast<int32_t>(module - g_modules);
}

// Where a plug-in shows itself: in the frame when it has one, else in its own window.
void show_what_it_draws_in()
{
    HWND shown = g_control.embed_window ? g_control.embed_window : g_control.vis_window;
    if (shown)
        ShowWindow(shown, SW_SHOWNORMAL);
}

// Each entry: record first, so a faulting call is still seen, then do what is asked.
void __cdecl config_entry(WinampVisModule* module)
{
    record(kProbeConfig, module_number(module), reinterpret_cast<intptr_t>(module), module->parent);
    misbehave(kProbeConfig);
    show_box(kProbeConfig, module->parent);
    send_requests(kProbeConfig, module->parent);
    fuzz_from_config(module->parent);
}

int32_t __cdecl init_entry(WinampVisModule* module)
{
    record(kProbeInit, module_number(module), reinterpret_cast<intptr_t>(module), module->parent);
    misbehave(kProbeInit);
    if (g_init_calls == 0)
        GetWindowRect(module->parent, &g_control.parent_rect_at_init);
    if (!g_control.requests_late)
        send_requests(kProbeInit, module->parent);
    const bool fails = InterlockedIncrement(&g_init_calls) <= g_control.init_failures;
    show_box(kProbeInit, module->parent);
    fuzz_from_init(module->parent, g_control.embed_window, g_control.vis_window);
    if (fails)
        return 1;
    if (g_control.opens_dialog && !g_control.dialog_window)
        g_control.dialog_window = open_own_dialog(module->parent);
    if (g_control.ask_embed_window)
        g_control.embed_window = ask_embed_window(module->parent, &g_control.embed_record);
    if (g_control.drawing_window != kProbeNoDrawingWindow && !g_control.vis_window) {
        HWND owner = g_control.embed_window ? g_control.embed_window : module->parent;
        g_control.vis_window = create_drawing_window(
            g_control.drawing_window == kProbeChildWindow ? owner : nullptr, &g_control);
        announce_drawing_window(module->parent, g_control.vis_window);
    }
    if (g_control.sdk_plugin)
        sdk_use_services(module->parent, &g_control.sdk);
    if (g_control.window_fault != kProbeNoFault && g_control.vis_window)
        PostMessageA(g_control.vis_window, kProbeFaultMessage, 0, 0);
    send_requests(kProbeInit, module->parent);
    if (g_control.worker_thread)
        start_frame_worker(module->parent, &g_control.worker);
    g_ready_tick = GetTickCount();
    mark_drawing_window_ready();
    if (g_control.shows_itself)
        show_what_it_draws_in();
    threads_from_init(&g_control);
    return 0;
}

int32_t __cdecl render_entry(WinampVisModule* module)
{
    record(kProbeRender, module_number(module), reinterpret_cast<intptr_t>(module), module->parent);
    misbehave(kProbeRender);
    send_requests(kProbeRender, module->parent);
    show_box(kProbeRender, module->parent);
    const bool drawing_due =
        GetTickCount() - g_ready_tick >= static_cast<DWORD>(g_control.draws_after_ms);
    if (g_control.draws_through_dc && g_control.vis_window && drawing_due)
        paint_through_dc(g_control.vis_window, InterlockedIncrement(&g_control.frames_painted));
    if (g_control.sdk_plugin && InterlockedIncrement(&g_sdk_renders) == 1) {
        sdk_copy_titles(module->parent, &g_control.sdk);
        if (g_control.sdk_keeps_modal_dialog)
            sdk_run_kept_dialog(module->parent, &g_control.sdk);
    }
    fuzz_from_render(module, g_control.embed_window, g_control.vis_window);
    if (g_control.worker_thread)
        hand_frame_to_worker();
    threads_from_render(&g_control);
    return g_control.render_result;
}

void __cdecl quit_entry(WinampVisModule* module)
{
    record(kProbeQuit, module_number(module), reinterpret_cast<intptr_t>(module), module->parent);
    misbehave(kProbeQuit);
    fuzz_quit();
    join_frame_worker();
    threads_quit();
    destroy_drawing_window(&g_control);
    close_own_dialog(&g_control.dialog_window);
}

WinampVisModule* __cdecl module_by_index(int32_t index)
{
    record(kProbeModuleByIndex, -1, index, nullptr);
    misbehave(kProbeModuleByIndex);
    if (g_control.module_pointer == kProbeReadOnlyModule)
        return reinterpret_cast<WinampVisModule*>(reinterpret_cast<intptr_t>(&module_by_index));
    if (g_control.module_pointer == kProbeUnreadableModule)
        return static_cast<WinampVisModule*>(no_access_memory());
    if (g_control.module_by_index_returns_null || index < 0 || index >= g_control.module_count ||
        index >= kProbeMaxModules)
        return nullptr;
    WinampVisModule& module = g_modules[index];
    if (g_control.module_description[0])
        lstrcpynA(g_descriptions[index], g_control.module_description, sizeof g_descriptions[index]);
    else
        wsprintfA(g_descriptions[index], "vis_probe module %d", index);
    module.description = g_descriptions[index];
    module.frame_delay = g_control.frame_delay;
    module.waveform_channels = g_control.waveform_channels;
    module.spectrum_channels = g_control.spectrum_channels;
    module.config_entry = g_control.has_config ? config_entry : nullptr;
    module.init_entry = init_entry;
    module.render_entry = render_entry;
    module.quit_entry = g_control.has_quit ? quit_entry : nullptr;
    return &module;
}

WinampVisHeader g_header = {0x101, "vis_probe", module_by_index};

}  // namespace

extern "C" __declspec(dllexport) WinampVisHeader* __cdecl winampVisGetHeader(HWND parent)
{
    apply_probe_script(g_control);
    record(kProbeHeader, -1, reinterpret_cast<intptr_t>(parent), parent);
    if (g_control.sdk_plugin)
        sdk_find_services(parent, &g_control.sdk);
    SetLastError(g_control.header_last_error);
    misbehave(kProbeHeader);
    if (g_control.module_function == kProbeNullFunction)
        g_header.module_by_index = nullptr;
    else if (g_control.module_function == kProbeGarbageFunction)
        g_header.module_by_index = reinterpret_cast<WinampModuleByIndexFunction>(no_access_memory());
    else
        g_header.module_by_index = module_by_index;
    SetLastError(g_control.header_last_error);
    if (g_control.header_unreadable)
        return static_cast<WinampVisHeader*>(no_access_memory());
    return g_control.header_returns_null ? nullptr : &g_header;
}

extern "C" __declspec(dllexport) ProbeControl* __cdecl probe_control()
{
    return &g_control;
}

// Puts the plug-in back to its first state, as if freshly loaded.
extern "C" __declspec(dllexport) void __cdecl probe_reset()
{
    destroy_drawing_window(&g_control);
    close_own_dialog(&g_control.dialog_window);
    g_control = ProbeControl();
    for (WinampVisModule& module : g_modules)
        module = WinampVisModule();
    g_init_calls = 0;
    g_boxes_shown = 0;
    g_sdk_renders = 0;
    release_no_access_memory();
    fuzz_reset();
    threads_reset();
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_THREAD_DETACH) {
        const LONG slot = InterlockedIncrement(&g_control.threads_detached) - 1;
        if (slot < kProbeMaxDetachedThreads)
            g_control.detached_thread_ids[slot] = GetCurrentThreadId();
    }
    return TRUE;
}
