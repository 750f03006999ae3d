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

// Requests timed by init, each way.
constexpr int kBenchMaxRequests = 4096;

struct BenchControl {
    int32_t frame_delay = 33;
    // When not 0, init times this many version requests (WM_USER, 0) to the main window and
    // as many to a window of its own thread that answers them the same way.
    int32_t requests_to_time = 0;
    int32_t requests_timed = 0;
    int32_t request_ns[kBenchMaxRequests] = {};
    int32_t same_thread_request_ns[kBenchMaxRequests] = {};
    LRESULT request_answer = 0;
    // Noted by init: the thread that calls the module and the one that owns its parent.
    DWORD render_thread_id = 0;
    DWORD main_window_thread_id = 0;

    int64_t init_start_qpc = 0;
    int64_t init_end_qpc = 0;
    int64_t quit_qpc = 0;
    // Raised after the record it counts is written.
    volatile LONG render_count = 0;
    BenchRender renders[kBenchMaxRenders] = {};
};

using BenchControlFunction = BenchControl*(__cdecl*)();
using BenchResetFunction = void(__cdecl*)();
