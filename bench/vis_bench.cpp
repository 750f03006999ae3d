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

int32_t __cdecl init_entry(WinampVisModule*)
{
    g_control.init_start_qpc = qpc_now();
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
    g_control = BenchControl();
    g_control.frame_delay = delay;
}
