#include "tools/player/image.h"

#include <gtest/gtest.h>

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

}  // namespace
