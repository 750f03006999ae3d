// The control block of vis_bench, the benchmarks' Winamp plug-in. The benchmark loads the
// same vis_bench.dll the wrapper loads, sets the delay before the wrapper reads the module,
// and reads back when each render call came and which staged frame it saw.
#pragma once

#include <windows.h>

#include <cstdint>

// Over a minute of render calls at the shortest delay.
constexpr int kBenchMaxRenders = 8192;

struct BenchRender {
    int64_t qpc;
    int32_t clock_ticks;  // clock() as the call came, the render loop's own clock
    uint32_t sequence;  // the frame number found in the module's arrays, 0 for none
};

struct BenchControl {
    int32_t frame_delay = 33;

    int64_t init_start_qpc = 0;
    int64_t init_end_qpc = 0;
    int64_t quit_qpc = 0;
    // Raised after the record it counts is written.
    volatile LONG render_count = 0;
    BenchRender renders[kBenchMaxRenders] = {};
};

using BenchControlFunction = BenchControl*(__cdecl*)();
using BenchResetFunction = void(__cdecl*)();
