#include "tools/player/image.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

TEST(ImageComposition, SideBySideKeepsBothPicturesAndFillsTheRest)
{
    Image left(2, 3, 0x111111);
    Image right(3, 1, 0x222222);
    const Image both = place_side_by_side(left, right, 1, 0xABCDEF);
    ASSERT_EQ(both.width, 6);
    ASSERT_EQ(both.height, 3);
    EXPECT_EQ(both.at(1, 2), 0x111111u);
    EXPECT_EQ(both.at(2, 0), 0xABCDEFu);  // the gap
    EXPECT_EQ(both.at(3, 0), 0x222222u);
    EXPECT_EQ(both.at(5, 0), 0x222222u);
    EXPECT_EQ(both.at(5, 1), 0xABCDEFu);  // below the shorter picture

    const Image alone = place_side_by_side(left, Image(), 8, 0);
    EXPECT_EQ(alone.width, 2);
    EXPECT_EQ(alone.pixels, left.pixels);
}

TEST(ImageComposition, PastingClipsAtEveryEdge)
{
    Image target(4, 3, 0);
    Image source(3, 2, 7);
    source.pixels[0] = 9;  // the top-left corner
    paste_image(target, source, -1, -1);
    EXPECT_EQ(target.pixels, (std::vector<uint32_t>{7, 7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));

    Image corner(4, 3, 0);
    paste_image(corner, source, 2, 2);
    EXPECT_EQ(corner.at(2, 2), 9u);
    EXPECT_EQ(corner.at(3, 2), 7u);
    EXPECT_EQ(std::count(corner.pixels.begin(), corner.pixels.end(), 0u), 10);

    Image outside(4, 3, 0);
    paste_image(outside, source, 4, 0);
    paste_image(outside, source, 0, -2);
    paste_image(outside, source, -3, 5);
    EXPECT_EQ(std::count(outside.pixels.begin(), outside.pixels.end(), 0u), 12);
}

TEST(ImageComposition, ScalingShrinksToFitKeepingProportionsAndNeverGrows)
{
    Image wide(8, 2, 0);
    wide.pixels[8] = 6;  // the first pixel of the second row
    const Image half = scale_to_fit(wide, 4, 100);
    ASSERT_EQ(half.width, 4);
    ASSERT_EQ(half.height, 1);
    EXPECT_EQ(scale_to_fit(wide, 100, 100).pixels, wide.pixels);
    EXPECT_EQ(scale_to_fit(Image(), 4, 4).width, 0);

    EXPECT_FALSE(has_drawing(Image()));
    EXPECT_FALSE(has_drawing(Image(3, 3, 0x123456)));
    EXPECT_TRUE(has_drawing(wide));
}

}  // namespace
