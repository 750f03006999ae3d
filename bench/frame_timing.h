// What the pacing and latency figures are computed from: times of render calls and of
// staged frames, in nanoseconds on one clock.
#pragma once

#include <cstdint>
#include <vector>

// A staged frame or a render call, with the frame number it carried or saw.
struct SequencedTime {
    uint32_t sequence;
    double ns;
};

// The gaps between consecutive times.
std::vector<double> intervals(const std::vector<double>& times_ns);

// |interval - delay| for every gap.
std::vector<double> deviations(const std::vector<double>& intervals_ns, double delay_ns);

// Per seen frame: the time from its staging to the first render call that saw it, the
// loop's floor for it and what the loop took beyond that floor.
struct StagingLatencies {
    std::vector<double> latency;
    // The render loop takes the staged data before the frame is due and then waits for the
    // due time: the frame's age when taken plus the wait, from its staging to the due time.
    std::vector<double> floor;
    std::vector<double> remainder;  // latency - floor: how late the render call came
};

// For every staged frame that some render call saw, with due_ns[i] the time render call i
// was due (NaN when not known: a sighting there counts for nothing). Frames overwritten
// before any render call took them count for nothing; a render call that sees a frame
// again (nothing new was staged) is not a new sighting. Render calls are in call order.
StagingLatencies staging_latencies(const std::vector<SequencedTime>& staged,
                                   const std::vector<SequencedTime>& renders,
                                   const std::vector<double>& due_ns);
