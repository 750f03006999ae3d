#include "emulation/embed_geometry.h"

#include <gtest/gtest.h>

namespace {

constexpr int32_t kExtraWidth = 8;
constexpr int32_t kExtraHeight = 27;
constexpr int32_t M = kPositionMarker;

EmbedPlacement place(EmbedRect rect, int32_t client_width = 320, int32_t client_height = 240)
{
    return place_embed_window(rect, client_width, client_height, kExtraWidth, kExtraHeight);
}

void expect_window_pos(const EmbedPlacement& p, int32_t x, int32_t y, int32_t width,
                       int32_t height, uint32_t flags)
{
    EXPECT_EQ(p.x, x);
    EXPECT_EQ(p.y, y);
    EXPECT_EQ(p.width, width);
    EXPECT_EQ(p.height, height);
    EXPECT_EQ(p.flags, flags);
}

void expect_rect(const EmbedRect& r, int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    EXPECT_EQ(r.left, left);
    EXPECT_EQ(r.top, top);
    EXPECT_EQ(r.right, right);
    EXPECT_EQ(r.bottom, bottom);
}

TEST(EmbedGeometry, PositionedRectangleIsTheOuterFrameAndMovesIt)
{
    const EmbedPlacement p = place({100, 100, 400, 300}, 10, 10);
    EXPECT_TRUE(p.accepted);
    EXPECT_EQ(p.client_width, 292);
    EXPECT_EQ(p.client_height, 173);
    expect_rect(p.rect, 100, 100, 400, 300);
    expect_window_pos(p, 100, 100, 300, 200, 0x0004);
}

TEST(EmbedGeometry, MarkersMakeRightAndBottomTheClientSizeAndKeepThePosition)
{
    const EmbedPlacement p = place({M, M, 320, 240}, 10, 10);
    EXPECT_TRUE(p.accepted);
    EXPECT_EQ(p.client_width, 320);
    EXPECT_EQ(p.client_height, 240);
    expect_rect(p.rect, M, M, 320, 240);
    expect_window_pos(p, M, M, 328, 267, 0x0006);
}

TEST(EmbedGeometry, MarkerInOneFieldAffectsOnlyItsOwnAxisAndOnlyLeftStopsTheMove)
{
    const EmbedPlacement top_only = place({100, M, 400, 240});
    EXPECT_EQ(top_only.client_width, 292);
    EXPECT_EQ(top_only.client_height, 240);
    expect_window_pos(top_only, 100, M, 300, 267, 0x0004);

    const EmbedPlacement left_only = place({M, 100, 320, 300});
    EXPECT_EQ(left_only.client_width, 320);
    EXPECT_EQ(left_only.client_height, 173);
    expect_window_pos(left_only, M, 100, 328, 200, 0x0006);
}

TEST(EmbedGeometry, RectangleOfExactlyTheMinimumSizeIsAccepted)
{
    // Negative coordinates (a monitor left of or above the primary one) compare as signed.
    for (const EmbedRect rect : {EmbedRect{0, 0, 50, 20}, EmbedRect{-100, -60, -50, -40}}) {
        const EmbedPlacement p = place(rect);
        EXPECT_TRUE(p.accepted) << rect.left;
        EXPECT_EQ(p.client_width, 50 - kExtraWidth);
        EXPECT_EQ(p.client_height, 20 - kExtraHeight);
        expect_window_pos(p, rect.left, rect.top, 50, 20, 0x0004);
    }
}

TEST(EmbedGeometry, TooSmallRectangleKeepsTheSizeAndRewritesBothRightAndBottom)
{
    for (const EmbedRect rect : {EmbedRect{10, 20, 59, 120}, EmbedRect{10, 20, 110, 39}}) {
        const EmbedPlacement p = place(rect, 320, 240);
        EXPECT_FALSE(p.accepted) << rect.right;
        EXPECT_EQ(p.client_width, 320);
        EXPECT_EQ(p.client_height, 240);
        expect_rect(p.rect, 10, 20, 330, 260);
        expect_window_pos(p, 10, 20, 328, 267, 0x0004);
    }
}

TEST(EmbedGeometry, TooSmallRectangleMovesTheFrameEvenWithAMarkerInLeft)
{
    // The marker only matters for an accepted size; its field wraps like 32-bit arithmetic.
    const EmbedPlacement p = place({M, 20, 0, 30}, 320, 240);
    EXPECT_FALSE(p.accepted);
    expect_rect(p.rect, M, 20, M + 320, 260);
    expect_window_pos(p, M, 20, 328, 267, 0x0004);
}

} // namespace
