// The benchmarks' own arithmetic: percentiles, pacing gaps and the staging-to-render match.
#include "bench/frame_timing.h"
#include "bench/stats.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>

namespace {

TEST(BenchPercentile, NearestRankOfOneToHundredInAnyOrder)
{
    std::vector<double> samples(100);
    std::iota(samples.begin(), samples.end(), 1.0);
    std::shuffle(samples.begin(), samples.end(), std::mt19937(7));
    EXPECT_EQ(percentile(samples, 0), 1.0);
    EXPECT_EQ(percentile(samples, 50), 50.0);
    EXPECT_EQ(percentile(samples, 99), 99.0);
    EXPECT_EQ(percentile(samples, 100), 100.0);
}

TEST(BenchPercentile, SmallSetsRoundTheRankUp)
{
    EXPECT_EQ(percentile({5.0}, 50), 5.0);
    EXPECT_EQ(percentile({5.0}, 99), 5.0);
    // Ten samples: the 99th percentile is the largest, the median the fifth.
    const std::vector<double> ten = {10, 9, 8, 7, 6, 5, 4, 3, 2, 1};
    EXPECT_EQ(percentile(ten, 99), 10.0);
    EXPECT_EQ(percentile(ten, 50), 5.0);
    EXPECT_EQ(percentile(ten, 51), 6.0);
}

TEST(BenchSummary, EmptySetHasNoCountAndOthersTheirMean)
{
    EXPECT_EQ(summarize({}).count, 0u);
    const Summary summary = summarize({3, 1, 2, 100});
    EXPECT_EQ(summary.count, 4u);
    EXPECT_EQ(summary.p50, 2.0);
    EXPECT_EQ(summary.p99, 100.0);
    EXPECT_DOUBLE_EQ(summary.mean, 26.5);
}

TEST(BenchPacing, DeviationsAreAbsoluteDistancesOfTheGapsFromTheDelay)
{
    const std::vector<double> gaps = intervals({0, 10, 19, 31});
    EXPECT_EQ(gaps, (std::vector<double>{10, 9, 12}));
    EXPECT_EQ(deviations(gaps, 10), (std::vector<double>{0, 1, 2}));
    EXPECT_TRUE(intervals({5}).empty());
}

TEST(BenchLatency, FirstSightingOfEachSeenFrameCountsOnceSplitAtItsDueTime)
{
    const std::vector<SequencedTime> staged = {{1, 0}, {2, 10}, {3, 20}, {4, 30}, {5, 50}};
    // Frame 2 was overwritten before a render call took it; frame 1 is seen twice because
    // nothing new arrived in between; 0 is a render call that saw no frame; frame 4 is
    // never seen; frame 5 is seen by a call whose due time is unknown.
    const std::vector<SequencedTime> renders = {{0, 2}, {1, 15}, {1, 25}, {3, 40}, {5, 60}};
    const std::vector<double> due = {NAN, 14, 24.5, 39, NAN};
    const StagingLatencies latencies = staging_latencies(staged, renders, due);
    EXPECT_EQ(latencies.latency, (std::vector<double>{15, 20}));
    EXPECT_EQ(latencies.floor, (std::vector<double>{14, 19}));
    EXPECT_EQ(latencies.remainder, (std::vector<double>{1, 1}));
}

}  // namespace
