// vis_bench.dll as the benchmark reaches it: the same loaded copy the wrapper will load.
#pragma once

#include "bench/frame_timing.h"
#include "bench/vis_bench_control.h"

#include <string>
#include <vector>

class BenchPlugin {
public:
    explicit BenchPlugin(const std::string& path);
    ~BenchPlugin();
    BenchPlugin(const BenchPlugin&) = delete;
    BenchPlugin& operator=(const BenchPlugin&) = delete;

    bool ok() const { return control_ != nullptr; }
    const std::string& path() const { return path_; }

    // Read by the module record at the wrapper's next load.
    void set_frame_delay(int32_t delay_ms) { control_->frame_delay = delay_ms; }
    void reset() { reset_(); }
    // Read by the module's next init; 0 times none.
    void set_requests_to_time(int32_t count) { control_->requests_to_time = count; }
    // The timed requests of the last init, to the main window and to the plug-in's own
    // thread, in nanoseconds, and the last answer.
    std::vector<double> request_ns() const;
    std::vector<double> same_thread_request_ns() const;
    LRESULT request_answer() const { return control_->request_answer; }
    DWORD render_thread_id() const { return control_->render_thread_id; }
    DWORD main_window_thread_id() const { return control_->main_window_thread_id; }

    LONG render_count() const { return control_->render_count; }
    int64_t first_render_qpc() const { return control_->renders[0].qpc; }
    int64_t init_start_qpc() const { return control_->init_start_qpc; }
    int64_t init_end_qpc() const { return control_->init_end_qpc; }
    int64_t quit_qpc() const { return control_->quit_qpc; }
    // The render calls recorded so far, on the nanosecond scale of qpc_to_ns.
    std::vector<SequencedTime> renders() const;
    // clock() at each of those calls.
    std::vector<int32_t> render_clock_ticks() const;

private:
    LONG recorded() const;

    std::string path_;
    HMODULE module_ = nullptr;
    BenchControl* control_ = nullptr;
    BenchResetFunction reset_ = nullptr;
};
