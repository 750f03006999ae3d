// vis_bench: a Winamp visualization plug-in that renders nothing and only notes when each
// render call came and which frame of the benchmark's audio it was given.
#include "bench/qpc_clock.h"
#include "bench/sequence_code.h"
#include "bench/vis_bench_control.h"
#include "runtime/winamp_vis.h"

#include <ctime>

namespace {

BenchControl g_control;
WinampVisModule g_module;

constexpr LRESULT kVersion = 20499;

LRESULT CALLBACK answer_version(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_USER && lparam == 0)
        return kVersion;
    return DefWindowProcA(window, message, wparam, lparam);
}

// What a request costs the plug-in: to the main window, and to a window of the calling
// thread, the floor of any SendMessage.
void time_requests(HWND parent, int count)
{
    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = answer_version;
    window_class.hInstance = GetModuleHandleA("vis_bench.dll");
    window_class.lpszClassName = "VisBenchSameThread";
    RegisterClassA(&window_class);
    HWND same_thread = CreateWindowExA(0, "VisBenchSameThread", "", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                       nullptr, window_class.hInstance, nullptr);
    if (count > kBenchMaxRequests)
        count = kBenchMaxRequests;
    for (int i = 0; i < count; ++i) {
        const int64_t start = qpc_now();
        g_control.request_answer = SendMessageA(parent, WM_USER, 0, 0);
        const int64_t between = qpc_now();
        SendMessageA(same_thread, WM_USER, 0, 0);
        const int64_t end = qpc_now();
        g_control.request_ns[i] = static_cast<int32_t>(qpc_to_ns(between - start));
        g_control.same_thread_request_ns[i] = static_cast<int32_t>(qpc_to_ns(end - between));
    }
    g_control.requests_timed = count;
    if (same_thread)
        DestroyWindow(same_thread);
    UnregisterClassA("VisBenchSameThread", window_class.hInstance);
}

int32_t __cdecl init_entry(WinampVisModule* module)
{
    g_control.init_start_qpc = qpc_now();
    g_control.render_thread_id = GetCurrentThreadId();
    g_control.main_window_thread_id = GetWindowThreadProcessId(module->parent, nullptr);
    if (g_control.requests_to_time > 0)
        time_requests(module->parent, g_control.requests_to_time);
    g_control.init_end_qpc = qpc_now();
    return 0;
}

int32_t __cdecl render_entry(WinampVisModule* module)
{
    const int64_t now = qpc_now();
    const auto ticks = static_cast<int32_t>(clock());
    const LONG slot = g_control.render_count;
    if (slot < kBenchMaxRenders) {
        g_control.renders[slot] = {now, ticks, read_sequence(reinterpret_cast<const uint8_t*>(
                                                          module->waveform_samples[0]),
                                                      module->spectrum_values[0])};
        InterlockedIncrement(&g_control.render_count);
    }
    return 0;
}

void __cdecl quit_entry(WinampVisModule*)
{
    g_control.quit_qpc = qpc_now();
}

WinampVisModule* __cdecl module_by_index(int32_t index)
{
    if (index != 0)
        return nullptr;
    g_module = WinampVisModule();
    g_module.description = "vis_bench";
    g_module.frame_delay = g_control.frame_delay;
    g_module.waveform_channels = 2;
    g_module.spectrum_channels = 2;
    g_module.init_entry = init_entry;
    g_module.render_entry = render_entry;
    g_module.quit_entry = quit_entry;
    return &g_module;
}

WinampVisHeader g_header = {0x101, "vis_bench", module_by_index};

}  // namespace

extern "C" __declspec(dllexport) WinampVisHeader* __cdecl winampVisGetHeader(HWND)
{
    return &g_header;
}

extern "C" __declspec(dllexport) BenchControl* __cdecl bench_control()
{
    return &g_control;
}

// Forgets every recorded call; the delay stays as set.
extern "C" __declspec(dllexport) void __cdecl bench_reset()
{
    const int32_t delay = g_control.frame_delay;
    const int32_t requests = g_control.requests_to_time;
    g_control = BenchControl();
    g_control.frame_delay = delay;
    g_control.requests_to_time = requests;
}
