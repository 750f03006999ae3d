#include "bench/bench_host.h"

#include "bench/qpc_clock.h"

#include <cstdio>

namespace {

// Under an emulated processor the first run of the wrapper's code takes seconds.
constexpr double kFirstRenderLimitMs = 120000;

}  // namespace

PlayerLoop::Stage render_stage(BenchHost& host)
{
    return [&host](const uint8_t* frame) { host.wrapper.render(host.panel_dc, frame); };
}

bool start_module(BenchHost& host, int delay_ms, InitializeCall* call)
{
    host.plugin.set_frame_delay(delay_ms);
    host.plugin.reset();
    call->start_qpc = qpc_now();
    const int32_t result = host.wrapper.initialize();
    call->end_qpc = qpc_now();
    if (result != 1) {
        fprintf(stderr, "Initialize failed\n");
        return false;
    }
    if (!host.player.play(kFirstRenderLimitMs, render_stage(host),
                          [&host] { return host.plugin.render_count() > 0; })) {
        fprintf(stderr, "no render call within %.0f ms of Initialize (delay %d)\n",
                kFirstRenderLimitMs, delay_ms);
        host.wrapper.finalize();
        return false;
    }
    return true;
}
