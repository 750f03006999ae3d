// The pacing baseline: a thread that does nothing but sleep, in the same 1 ms steps the
// render loop sleeps in, until each due time (its start + k × delay) and note when it woke.
#pragma once

#include <windows.h>

#include <atomic>
#include <thread>
#include <vector>

class IdealLoop {
public:
    explicit IdealLoop(int delay_ms);
    ~IdealLoop();
    IdealLoop(const IdealLoop&) = delete;
    IdealLoop& operator=(const IdealLoop&) = delete;

    // Ends the loop and returns its wake-up times in nanoseconds.
    std::vector<double> stop();
    // The loop thread's id, once it runs (0 before).
    DWORD thread_id() const { return thread_id_; }

private:
    void run(int delay_ms);

    std::atomic<bool> stop_requested_{false};
    std::atomic<DWORD> thread_id_{0};
    std::vector<double> wake_ns_;
    std::thread thread_;
};
