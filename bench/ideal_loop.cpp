#include "bench/ideal_loop.h"

#include "bench/qpc_clock.h"

#include <windows.h>

IdealLoop::IdealLoop(int delay_ms) : thread_([this, delay_ms] { run(delay_ms); }) {}

IdealLoop::~IdealLoop()
{
    stop();
}

std::vector<double> IdealLoop::stop()
{
    stop_requested_ = true;
    if (thread_.joinable())
        thread_.join();
    return wake_ns_;
}

void IdealLoop::run(int delay_ms)
{
    thread_id_ = GetCurrentThreadId();
    const int64_t step = qpc_from_ms(delay_ms);
    int64_t due = qpc_now();
    while (!stop_requested_) {
        while (qpc_now() < due)
            Sleep(1);
        wake_ns_.push_back(qpc_to_ns(qpc_now()));
        due += step;
    }
}
