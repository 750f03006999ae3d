#include "bench/frame_timing.h"

#include <cmath>
#include <unordered_map>

std::vector<double> intervals(const std::vector<double>& times_ns)
{
    std::vector<double> gaps;
    for (size_t i = 1; i < times_ns.size(); ++i)
        gaps.push_back(times_ns[i] - times_ns[i - 1]);
    return gaps;
}

std::vector<double> deviations(const std::vector<double>& intervals_ns, double delay_ns)
{
    std::vector<double> result;
    result.reserve(intervals_ns.size());
    for (double interval : intervals_ns)
        result.push_back(std::fabs(interval - delay_ns));
    return result;
}

std::vector<double> staging_latencies(const std::vector<SequencedTime>& staged,
                                      const std::vector<SequencedTime>& renders)
{
    std::unordered_map<uint32_t, double> staged_at;
    for (const SequencedTime& frame : staged)
        staged_at.emplace(frame.sequence, frame.ns);
    std::vector<double> latencies;
    for (const SequencedTime& render : renders) {
        const auto found = staged_at.find(render.sequence);
        if (found == staged_at.end())
            continue;
        latencies.push_back(render.ns - found->second);
        staged_at.erase(found);
    }
    return latencies;
}
