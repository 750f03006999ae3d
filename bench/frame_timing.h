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

// For every staged frame that some render call saw: the time from its staging to the first
// render call that saw it. Frames overwritten before any render call took them count for
// nothing; a render call that sees a frame again (nothing new was staged) is not a new
// sighting. Render calls are in call order.
std::vector<double> staging_latencies(const std::vector<SequencedTime>& staged,
                                      const std::vector<SequencedTime>& renders);
