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

StagingLatencies staging_latencies(const std::vector<SequencedTime>& staged,
                                   const std::vector<SequencedTime>& renders,
                                   const std::vector<double>& due_ns)
{
    std::unordered_map<uint32_t, double> staged_at;
    for (const SequencedTime& frame : staged)
        staged_at.emplace(frame.sequence, frame.ns);
    StagingLatencies result;
    for (size_t i = 0; i < renders.size(); ++i) {
        const auto found = staged_at.find(renders[i].sequence);
        if (found == staged_at.end())
            continue;
        if (!std::isnan(due_ns[i])) {
            result.latency.push_back(renders[i].ns - found->second);
            result.floor.push_back(due_ns[i] - found->second);
            result.remainder.push_back(renders[i].ns - due_ns[i]);
        }
        staged_at.erase(found);
    }
    return result;
}
