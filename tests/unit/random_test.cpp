#include "emulation/random.h"

#include "host/wrapper_state.h"

#include <gtest/gtest.h>

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

}  // namespace
