#include "bench/bench_host.h"

#include "bench/figure_line.h"
#include "bench/ideal_loop.h"
#include "bench/process_cpu.h"
#include "bench/qpc_clock.h"
#include "bench/tick_clock.h"

#include <cmath>

#include <cstdio>

namespace {

constexpr double kWindowMs = 5000;
// The delay whose run also gives the CPU, start and stop figures.
constexpr int kIdleModuleDelayMs = 33;

// The wrapper's two threads whose share of the CPU is told apart from the process's; in the
// baseline, the ideal loop's thread stands where the render thread does.
enum WatchedThread { kRenderThread, kMainWindowThread, kWatchedThreads };

struct Window {
    int64_t start_qpc = 0;
    int64_t end_qpc = 0;
    double cpu_start = 0;
    double cpu_end = 0;
    DWORD thread_ids[kWatchedThreads] = {};
    double thread_cpu_start[kWatchedThreads] = {};
    double thread_cpu_end[kWatchedThreads] = {};

    void open()
    {
        for (int i = 0; i < kWatchedThreads; ++i)
            thread_cpu_start[i] = thread_ids[i] ? thread_cpu_seconds(thread_ids[i]) : -1;
        cpu_start = process_cpu_seconds();
        start_qpc = qpc_now();
    }
    void close()
    {
        end_qpc = qpc_now();
        cpu_end = process_cpu_seconds();
        for (int i = 0; i < kWatchedThreads; ++i)
            thread_cpu_end[i] = thread_ids[i] ? thread_cpu_seconds(thread_ids[i]) : -1;
    }
    double per_second(double from, double to) const
    {
        if (from < 0 || to < 0)
            return -1;
        return (to - from) * 1e3 / (qpc_to_ns(end_qpc - start_qpc) / 1e9);
    }
    // Milliseconds of CPU per second of wall time; negative when a reading failed.
    double cpu_ms_per_s() const { return per_second(cpu_start, cpu_end); }
    double thread_ms_per_s(WatchedThread thread) const
    {
        return per_second(thread_cpu_start[thread], thread_cpu_end[thread]);
    }
    bool holds(double ns) const { return ns >= qpc_to_ns(start_qpc) && ns <= qpc_to_ns(end_qpc); }
};

double ms(double ns)
{
    return ns / 1e6;
}

double ms_between(int64_t from_qpc, int64_t to_qpc)
{
    return ms(qpc_to_ns(to_qpc - from_qpc));
}

std::vector<double> in_ms(std::vector<double> ns)
{
    for (double& value : ns)
        value = ms(value);
    return ns;
}

}  // namespace

bool measure_pacing(BenchHost& host, int delay_ms)
{
    // Baseline: the ideal loop while the player produces its frames and stages nothing.
    Window ideal_window;
    IdealLoop ideal(delay_ms);
    while (!ideal.thread_id())
        Sleep(1);
    ideal_window.thread_ids[kRenderThread] = ideal.thread_id();
    ideal_window.open();
    host.player.play(kWindowMs, {});
    ideal_window.close();
    const std::vector<double> ideal_intervals = in_ms(intervals(ideal.stop()));

    InitializeCall initialize;
    if (!start_module(host, delay_ms, &initialize))
        return false;
    host.player.clear_staged();
    const TickClock ticks = calibrate_tick_clock();
    Window window;
    window.thread_ids[kRenderThread] = host.plugin.render_thread_id();
    window.thread_ids[kMainWindowThread] = host.plugin.main_window_thread_id();
    window.open();
    host.player.play(kWindowMs, render_stage(host));
    window.close();
    const int64_t finalize_qpc = qpc_now();
    host.wrapper.finalize();
    const int64_t finalized_qpc = qpc_now();

    const std::vector<SequencedTime> renders = host.plugin.renders();
    // The loop makes each frame due a delay after the clock() it read before the render
    // call before it, which is the tick the plug-in saw there.
    const std::vector<int32_t> render_ticks = host.plugin.render_clock_ticks();
    std::vector<double> due_ns(renders.size(), NAN);
    for (size_t i = 1; i < renders.size(); ++i)
        due_ns[i] = ticks.tick_start_ns(render_ticks[i - 1] + delay_ms);
    std::vector<double> render_ns;
    for (const SequencedTime& render : renders)
        if (window.holds(render.ns))
            render_ns.push_back(render.ns);
    const std::vector<double> module_intervals = in_ms(intervals(render_ns));
    if (module_intervals.empty()) {
        fprintf(stderr, "delay %d: fewer than two render calls in the %.0f ms window\n", delay_ms,
                kWindowMs);
        return false;
    }

    const std::string suffix = "_" + std::to_string(delay_ms);
    FigureLine("pacing" + suffix)
        .value("delay_ms", delay_ms)
        .summary("interval_ms", summarize(module_intervals))
        .summary("deviation_ms", summarize(deviations(module_intervals, delay_ms)))
        .summary("baseline_interval_ms", summarize(ideal_intervals))
        .summary("baseline_deviation_ms", summarize(deviations(ideal_intervals, delay_ms)))
        .print();
    const StagingLatencies latencies = staging_latencies(host.player.staged(), renders, due_ns);
    FigureLine("latency" + suffix)
        .value("delay_ms", delay_ms)
        .summary("ms", summarize(in_ms(latencies.latency)))
        .summary("floor_ms", summarize(in_ms(latencies.floor)))
        .summary("remainder_ms", summarize(in_ms(latencies.remainder)))
        .value("frames_staged", static_cast<double>(host.player.staged().size()))
        .value("tick_clock_spread_ms", ms(ticks.spread_ns))
        .print();
    if (delay_ms == kIdleModuleDelayMs) {
        FigureLine("cpu")
            .value("delay_ms", delay_ms)
            .value("ms_per_s", window.cpu_ms_per_s())
            .value("baseline_ms_per_s", ideal_window.cpu_ms_per_s())
            .value("render_thread_ms_per_s", window.thread_ms_per_s(kRenderThread))
            .value("main_window_thread_ms_per_s", window.thread_ms_per_s(kMainWindowThread))
            .value("baseline_loop_thread_ms_per_s", ideal_window.thread_ms_per_s(kRenderThread))
            .print();
        const BenchPlugin& module = host.plugin;
        // The sections say where start and stop spend their time: Initialize itself, the
        // render thread until the module's init, the init, the way to the first render
        // call; and the end of the render loop until the module's quit, then the rest of
        // the teardown and Finalize.
        FigureLine("start_stop")
            .value("delay_ms", delay_ms)
            .value("start_ms", ms_between(initialize.start_qpc, module.first_render_qpc()))
            .value("module_init_ms", ms_between(module.init_start_qpc(), module.init_end_qpc()))
            .value("stop_ms", ms_between(finalize_qpc, finalized_qpc))
            .value("initialize_call_ms", ms_between(initialize.start_qpc, initialize.end_qpc))
            .value("to_module_init_ms", ms_between(initialize.start_qpc, module.init_start_qpc()))
            .value("init_to_first_render_ms",
                   ms_between(module.init_end_qpc(), module.first_render_qpc()))
            .value("to_module_quit_ms", ms_between(finalize_qpc, module.quit_qpc()))
            .value("after_module_quit_ms", ms_between(module.quit_qpc(), finalized_qpc))
            .print();
    }
    return true;
}
