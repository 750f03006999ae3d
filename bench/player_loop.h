// The player's side of the benchmark: a fresh frame of audio data every 10 to 25 ms,
// handed to a stage function (Render, or nothing for a baseline), while the player's thread
// keeps serving its messages as a real player's does.
#pragma once

#include "bench/frame_timing.h"
#include "bench/sequence_code.h"

#include <functional>
#include <vector>

class PlayerLoop {
public:
    using Stage = std::function<void(const uint8_t* frame)>;

    // Plays until done() holds (tested after every frame) or limit_ms pass; true when done()
    // held. An empty stage only produces the frames; an empty done() plays the whole limit.
    bool play(double limit_ms, const Stage& stage, const std::function<bool()>& done = {});

    // Each frame's number and the time it was handed to stage, since the last clear.
    const std::vector<SequencedTime>& staged() const { return staged_; }
    void clear_staged() { staged_.clear(); }

private:
    double next_interval_ms();

    uint32_t next_sequence_ = 1;
    uint32_t random_state_ = 2463534242u;
    uint8_t frame_[kFrameBytes] = {};
    std::vector<SequencedTime> staged_;
};

// Serves the calling thread's queue until the counter reaches due_qpc: the wrapper's render
// thread sends to windows of the player's thread.
void serve_messages_until(int64_t due_qpc);
