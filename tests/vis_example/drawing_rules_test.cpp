// The example plug-in's drawing rules: bins to bars, falling peaks, bar and trace geometry.
#include "examples/vis_example/drawing_rules.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(VisExampleBars, EveryCountSplitsAllBinsIntoNonEmptyRanges)
{
    for (int count = kMinBars; count <= kMaxBars; ++count) {
        int expected_first = 0;
        for (int bar = 0; bar < count; ++bar) {
            const BinRange bins = bar_bins(bar, count);
            ASSERT_EQ(bins.first, expected_first) << count << " bars, bar " << bar;
            ASSERT_GT(bins.end, bins.first) << count << " bars, bar " << bar;
            expected_first = bins.end;
        }
        EXPECT_EQ(expected_first, kSpectrumPoints) << count << " bars";
    }
}

TEST(VisExampleBars, LowBarsShowSingleBinsAndTheTopBarABroadBand)
{
    EXPECT_EQ(bar_bins(0, 32).first, 0);
    EXPECT_EQ(bar_bins(0, 32).end, 1);
    EXPECT_EQ(bar_bins(1, 32).end, 2);
    EXPECT_EQ(bar_bins(31, 32).first, 540);  // 576 x (31/32)^2
    EXPECT_EQ(bar_bins(31, 32).end, 576);
}

class VisExampleLevels : public ::testing::Test {
protected:
    // Which bar of 32 shows bin 300, and the level that bar gets.
    int bar_of_bin_300() const
    {
        for (int bar = 0; bar < 32; ++bar)
            if (bar_bins(bar, 32).first <= 300 && 300 < bar_bins(bar, 32).end)
                return bar;
        return -1;
    }

    uint8_t spectrum[2][kSpectrumPoints] = {};
    uint8_t levels[kMaxBars] = {};
};

TEST_F(VisExampleLevels, BarTakesItsLoudestBinWithTheChannelsAveraged)
{
    const int bar = bar_of_bin_300();
    ASSERT_GE(bar, 0);
    const BinRange bins = bar_bins(bar, 32);
    spectrum[0][300] = 200;
    spectrum[1][300] = 100;
    spectrum[0][bins.first] = 140;  // louder in one channel only: averages to 70
    bar_levels(spectrum, 2, 32, levels);
    for (int other = 0; other < 32; ++other)
        EXPECT_EQ(levels[other], other == bar ? 150 : 0) << "bar " << other;
}

TEST_F(VisExampleLevels, OneChannelReadsOnlyTheFirstRowAndNoneReadsNothing)
{
    const int bar = bar_of_bin_300();
    spectrum[0][300] = 90;
    spectrum[1][300] = 250;
    bar_levels(spectrum, 1, 32, levels);
    EXPECT_EQ(levels[bar], 90);

    bar_levels(spectrum, 0, 32, levels);
    EXPECT_EQ(levels[bar], 0);

    // More channels than the arrays hold: the two rows that exist.
    bar_levels(spectrum, 5, 32, levels);
    EXPECT_EQ(levels[bar], 170);
}

TEST(VisExamplePeaks, FallStepByStepToTheBarAndJumpToALouderOne)
{
    int peak = 100;
    int seen[5];
    for (int& value : seen)
        value = peak = next_peak(peak, 20, 30);
    EXPECT_EQ(seen[0], 70);
    EXPECT_EQ(seen[1], 40);
    EXPECT_EQ(seen[2], 20);  // stops at the bar, not at 10
    EXPECT_EQ(seen[4], 20);
    EXPECT_EQ(next_peak(peak, 230, 30), 230);
}

TEST(VisExampleBarRects, BarsTileTheWidthWithGapsAndGrowFromTheBottom)
{
    int previous_right = 0;
    for (int bar = 0; bar < 32; ++bar) {
        const PixelRect rect = bar_rect(bar, 32, 255, 320, 100);
        EXPECT_EQ(rect.left, bar * 10);
        EXPECT_EQ(rect.right, rect.left + 9) << "one pixel of gap";
        EXPECT_GE(rect.left, previous_right);
        previous_right = rect.right;
        EXPECT_EQ(rect.top, 0);
        EXPECT_EQ(rect.bottom, 100);
    }
    EXPECT_EQ(bar_rect(5, 32, 0, 320, 100).top, 100) << "silence draws nothing";
    EXPECT_EQ(bar_rect(5, 32, 128, 320, 100).top, 50);
}

TEST(VisExampleBarRects, NarrowBarsGiveUpTheGapButNeverOverlap)
{
    // 64 pixels for 32 bars: two pixels each, touching.
    for (int bar = 0; bar < 32; ++bar) {
        const PixelRect rect = bar_rect(bar, 32, 255, 64, 10);
        EXPECT_EQ(rect.left, 2 * bar);
        EXPECT_EQ(rect.right, 2 * bar + 2);
    }
    // Fewer pixels than bars: some bars are empty, none reaches past the picture.
    for (int bar = 0; bar < 128; ++bar) {
        const PixelRect rect = bar_rect(bar, 128, 255, 50, 10);
        EXPECT_LE(rect.left, rect.right);
        EXPECT_LE(rect.right, 50);
    }
}

TEST(VisExampleScope, SamplesSpanTheWidthAndStayInsideTheirBand)
{
    EXPECT_EQ(scope_x(0, 400), 0);
    EXPECT_EQ(scope_x(575, 400), 399);
    for (int i = 1; i < kSpectrumPoints; ++i)
        ASSERT_GE(scope_x(i, 400), scope_x(i - 1, 400));

    const Band lower = scope_band(1, 2, 201);
    EXPECT_EQ(scope_y(127, lower), lower.top);
    EXPECT_EQ(scope_y(-128, lower), lower.top + lower.height - 1);
    EXPECT_EQ(scope_y(0, lower), lower.top + 49);
    for (int sample = -128; sample <= 127; ++sample) {
        const int y = scope_y(static_cast<int8_t>(sample), lower);
        ASSERT_GE(y, lower.top) << sample;
        ASSERT_LT(y, lower.top + lower.height) << sample;
    }
}

TEST(VisExampleScope, ChannelsStackIntoBandsThatFillTheHeight)
{
    EXPECT_EQ(scope_band(0, 1, 201).top, 0);
    EXPECT_EQ(scope_band(0, 1, 201).height, 201);
    const Band upper = scope_band(0, 2, 201);
    const Band lower = scope_band(1, 2, 201);
    EXPECT_EQ(upper.top, 0);
    EXPECT_EQ(lower.top, upper.height);
    EXPECT_EQ(upper.height + lower.height, 201);
}

}  // namespace
