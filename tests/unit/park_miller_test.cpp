#include "emulation/park_miller.h"

#include <gtest/gtest.h>

namespace {

constexpr int64_t kModulus = 2147483647;

TEST(ParkMiller, TenThousandthValueFromStateOneIsTheKnownCheckValue)
{
    int32_t state = 1;
    for (int n = 0; n < 10000; ++n)
        state = park_miller_next(state);
    EXPECT_EQ(state, 1043618065);
}

TEST(ParkMiller, ZeroAndTheModulusAreFixedPoints)
{
    EXPECT_EQ(park_miller_next(0), 0);
    EXPECT_EQ(park_miller_next(2147483647), 2147483647);
}

TEST(ParkMiller, EqualsTheProductModuloTheMersennePrimeAcrossTheStateRange)
{
    auto expect_matches = [](int64_t state) {
        ASSERT_EQ(park_miller_next(static_cast<int32_t>(state)), 16807 * state % kModulus) << state;
    };
    // The ends, the 16-bit split points and every carry boundary of the fold.
    for (int64_t state : {int64_t{1}, int64_t{2}, int64_t{65535}, int64_t{65536}, int64_t{65537},
                          kModulus / 16807, kModulus / 16807 + 1, kModulus - 2, kModulus - 1})
        expect_matches(state);
    // An odd stride, so the low 16 bits and the high half both take many values.
    const int64_t stride = (kModulus - 1) / 100000 | 1;
    for (int64_t state = 1; state < kModulus; state += stride)
        expect_matches(state);
}

} // namespace
