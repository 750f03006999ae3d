// What the hosted benchmarks share: the wrapper as the player holds it, the benchmark
// plug-in it runs, the player's frame loop and a device context for the status panel.
#pragma once

#include "bench/bench_plugin.h"
#include "bench/hosted_wrapper.h"
#include "bench/player_loop.h"

#include <windows.h>

struct BenchHost {
    HostedWrapper& wrapper;
    BenchPlugin& plugin;
    PlayerLoop& player;
    HDC panel_dc;
};

// When Initialize was called and when it returned.
struct InitializeCall {
    int64_t start_qpc = 0;
    int64_t end_qpc = 0;
};

// Initialize with the module's delay set, then play until the first render call. False,
// with the reason on standard error, when Initialize fails or no render call comes.
bool start_module(BenchHost& host, int delay_ms, InitializeCall* call);

// Render with the frame, as the player calls it.
PlayerLoop::Stage render_stage(BenchHost& host);

// Each delay: the pacing, staging-to-render latency, CPU and start and stop figures, each
// next to its baseline. False when a run could not be measured.
bool measure_pacing(BenchHost& host, int delay_ms);

// Render's cost per call in a burst while a module runs, against the bare lock-and-copy
// floor, and the costs of the other calls on Render's path.
bool measure_render_cost(BenchHost& host);
