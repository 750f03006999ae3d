#include "bench/player_loop.h"

#include "bench/qpc_clock.h"

#include <windows.h>

#include <cmath>

namespace {

constexpr double kShortestFrameMs = 10;
constexpr uint32_t kFrameSpreadMs = 16;  // 10 to 25 ms

}  // namespace

void serve_messages_until(int64_t due_qpc)
{
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        const double left_ms = qpc_to_ns(due_qpc - qpc_now()) / 1e6;
        if (left_ms <= 0)
            return;
        // Rounded up: a wait of 0 would spin through the last fraction of a millisecond.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::ceil(left_ms)),
                                  QS_ALLINPUT);
    }
}

double PlayerLoop::next_interval_ms()
{
    // xorshift32: the same spread of frame gaps in every run.
    random_state_ ^= random_state_ << 13;
    random_state_ ^= random_state_ >> 17;
    random_state_ ^= random_state_ << 5;
    return kShortestFrameMs + static_cast<double>(random_state_ % kFrameSpreadMs);
}

bool PlayerLoop::play(double limit_ms, const Stage& stage, const std::function<bool()>& done)
{
    const int64_t end = qpc_now() + qpc_from_ms(limit_ms);
    while (qpc_now() < end) {
        const uint32_t sequence = next_sequence_++;
        write_sequence_frame(sequence, frame_);
        const int64_t staged_at = qpc_now();
        if (stage)
            stage(frame_);
        staged_.push_back({sequence, qpc_to_ns(staged_at)});
        if (done && done())
            return true;
        serve_messages_until(staged_at + qpc_from_ms(next_interval_ms()));
    }
    return false;
}
