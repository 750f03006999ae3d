#include "emulation/random.h"

#include "emulation/park_miller.h"
#include "host/wrapper_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace {

class MinimalStandardRandom : public ::testing::Test {
protected:
    void TearDown() override { g_state.rand_state = saved_; }

private:
    int32_t saved_ = g_state.rand_state;
};

TEST_F(MinimalStandardRandom, ReturnsAndKeepsEachNewStateOfTheSequence)
{
    g_state.rand_state = 1;
    EXPECT_EQ(minimal_standard_random(), 16807);
    EXPECT_EQ(minimal_standard_random(), 282475249);
    EXPECT_EQ(minimal_standard_random(), 1622650073);
    EXPECT_EQ(g_state.rand_state, 1622650073);
}

TEST_F(MinimalStandardRandom, ASeedOfZeroStaysZero)
{
    g_state.rand_state = 0;
    EXPECT_EQ(minimal_standard_random(), 0);
    EXPECT_EQ(minimal_standard_random(), 0);
}

TEST_F(MinimalStandardRandom, TwoThreadsDrawingAtOnceEachGetStepsOfTheirOwn)
{
    constexpr int kDrawsPerThread = 200000;
    g_state.rand_state = 1;

    std::atomic<int> ready{0};
    auto draw = [&ready](std::vector<int32_t>* values) {
        values->reserve(kDrawsPerThread);
        ready.fetch_add(1);
        while (ready.load() < 2) {
        }
        for (int n = 0; n < kDrawsPerThread; ++n)
            values->push_back(minimal_standard_random());
    };
    std::vector<int32_t> first;
    std::vector<int32_t> second;
    std::thread a(draw, &first);
    std::thread b(draw, &second);
    a.join();
    b.join();

    // Each value's place in the sequence started at 1; the period is far longer than 2N.
    std::vector<int32_t> sequence;
    int32_t state = 1;
    for (int n = 0; n < 2 * kDrawsPerThread; ++n)
        sequence.push_back(state = park_miller_next(state));
    EXPECT_EQ(g_state.rand_state, sequence.back());

    std::vector<int32_t> drawn = first;
    drawn.insert(drawn.end(), second.begin(), second.end());
    std::sort(drawn.begin(), drawn.end());
    std::sort(sequence.begin(), sequence.end());
    EXPECT_TRUE(drawn == sequence) << "a step was lost or handed out twice";

    // A single caller still sees the sequence in its order.
    int32_t walk = 1;
    size_t next_of_first = 0;
    for (int n = 0; n < 2 * kDrawsPerThread && next_of_first < first.size(); ++n) {
        walk = park_miller_next(walk);
        if (walk == first[next_of_first])
            ++next_of_first;
    }
    EXPECT_EQ(next_of_first, first.size());
}

}  // namespace
