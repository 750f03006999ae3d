#include "bench/bench_host.h"

#include "bench/figure_line.h"
#include "bench/qpc_clock.h"
#include "bench/sequence_code.h"
#include "bench/timed_samples.h"

#include <cstdio>
#include <cstring>
#include <ctime>

// Outside any namespace and not static, so the compiler cannot prove the floor's copy unused.
uint8_t g_floor_staging[1536];

namespace {

constexpr int kRounds = 40;
constexpr int kCallsPerRound = 250;
constexpr int kRenderDelayMs = 10;
constexpr int kTimedRequests = 2000;

// A thread that exists and waits: GetExitCodeThread on it costs what Render pays for the
// render thread.
DWORD WINAPI wait_for_event(LPVOID event)
{
    WaitForSingleObject(static_cast<HANDLE>(event), INFINITE);
    return 0;
}

struct Samples {
    std::vector<double> render, floor, exit_code, clock, peek;
};

void time_round(BenchHost& host, uint8_t* frame, uint32_t* sequence, CRITICAL_SECTION* floor_lock,
                HANDLE live_thread, Samples* samples)
{
    const auto fresh_frame = [&](int) { write_sequence_frame(++*sequence, frame); };
    time_each_call(kCallsPerRound, &samples->render, fresh_frame,
                   [&](int) { host.wrapper.render(host.panel_dc, frame); });
    time_each_call(kCallsPerRound, &samples->floor, fresh_frame, [&](int) {
        EnterCriticalSection(floor_lock);
        memcpy(g_floor_staging, frame + kFrameSpectrumOffset, sizeof g_floor_staging);
        LeaveCriticalSection(floor_lock);
    });
    DWORD exit_code = 0;
    time_each_call(kCallsPerRound, &samples->exit_code, [](int) {},
                   [&](int) { GetExitCodeThread(live_thread, &exit_code); });
    volatile clock_t reading = 0;
    time_each_call(kCallsPerRound, &samples->clock, [](int) {}, [&](int) { reading = clock(); });
    // What every pass of the render loop pays to look at its queue, and the ideal loop not.
    MSG msg;
    time_each_call(kCallsPerRound, &samples->peek, [](int) {},
                   [&](int) { PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE); });
}

}  // namespace

bool measure_render_cost(BenchHost& host)
{
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE live_thread = release ? CreateThread(nullptr, 0, wait_for_event, release, 0, nullptr)
                                 : nullptr;
    if (!live_thread) {
        fprintf(stderr, "no helper thread for the Render breakdown, error %lu\n", GetLastError());
        if (release)
            CloseHandle(release);
        return false;
    }
    CRITICAL_SECTION floor_lock;
    InitializeCriticalSection(&floor_lock);

    InitializeCall initialize;
    host.plugin.set_requests_to_time(kTimedRequests);
    const bool started = start_module(host, kRenderDelayMs, &initialize);
    host.plugin.set_requests_to_time(0);
    Samples samples;
    if (started) {
        uint8_t frame[kFrameBytes];
        uint32_t sequence = 0x40000000;  // apart from the player loop's numbers
        const LONG renders_before = host.plugin.render_count();
        for (int round = 0; round < kRounds; ++round) {
            fprintf(stderr, "render cost: round %d of %d\n", round + 1, kRounds);
            time_round(host, frame, &sequence, &floor_lock, live_thread, &samples);
            // The render thread's requests to the player's windows wait for this.
            serve_messages_until(qpc_now());
        }
        const LONG module_renders = host.plugin.render_count() - renders_before;
        fprintf(stderr, "render cost: finalizing\n");
        host.wrapper.finalize();

        FigureLine("render")
            .summary("ns", summarize(samples.render))
            .summary("baseline_ns", summarize(samples.floor))
            .value("module_renders_meanwhile", module_renders)
            .print();
        FigureLine("request")
            .summary("ns", summarize(host.plugin.request_ns()))
            .summary("baseline_ns", summarize(host.plugin.same_thread_request_ns()))
            .value("answer", static_cast<double>(host.plugin.request_answer()))
            .print();
        FigureLine("render_sections")
            .summary("get_exit_code_thread_ns", summarize(samples.exit_code))
            .summary("clock_ns", summarize(samples.clock))
            .summary("peek_message_ns", summarize(samples.peek))
            .print();
    }
    DeleteCriticalSection(&floor_lock);
    SetEvent(release);
    WaitForSingleObject(live_thread, INFINITE);
    CloseHandle(live_thread);
    CloseHandle(release);
    return started;
}
