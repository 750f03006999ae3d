#include "bench/stats.h"

#include <algorithm>
#include <cmath>
#include <numeric>

double percentile(std::vector<double> samples, double p)
{
    const size_t n = samples.size();
    // The rank is 1-based; p of 0 means the smallest sample. p * n before the division keeps
    // whole ranks exact (99 * 100 / 100 is 99, where 0.99 * 100 is not).
    size_t rank = static_cast<size_t>(std::ceil(p * static_cast<double>(n) / 100.0));
    rank = std::clamp<size_t>(rank, 1, n);
    std::nth_element(samples.begin(), samples.begin() + (rank - 1), samples.end());
    return samples[rank - 1];
}

Summary summarize(const std::vector<double>& samples)
{
    Summary summary;
    summary.count = samples.size();
    if (samples.empty())
        return summary;
    summary.p50 = percentile(samples, 50);
    summary.p99 = percentile(samples, 99);
    summary.mean = std::accumulate(samples.begin(), samples.end(), 0.0) /
                   static_cast<double>(samples.size());
    return summary;
}
