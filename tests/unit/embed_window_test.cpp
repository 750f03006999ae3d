#include "emulation/embed_window.h"

#include "emulation/embed_geometry.h"
#include "host/wrapper_state.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

constexpr char kFrameClass[] = "EmbedWindowTestFrame";

// The record as a plug-in holds it, with a word after it that must stay untouched.
struct GuardedRecord {
    EmbedWindowState record;
    uint32_t after;
};

constexpr uint32_t kUntouched = 0xA5A5A5A5;

GuardedRecord make_record(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    GuardedRecord guarded{};
    guarded.record.window = reinterpret_cast<HWND>(0x1234);
    guarded.record.reserved = static_cast<int32_t>(kUntouched);
    guarded.record.window_rect = {left, top, right, bottom};
    guarded.after = kUntouched;
    return guarded;
}

void expect_rect(const RECT& rect, LONG left, LONG top, LONG right, LONG bottom)
{
    EXPECT_EQ(rect.left, left);
    EXPECT_EQ(rect.top, top);
    EXPECT_EQ(rect.right, right);
    EXPECT_EQ(rect.bottom, bottom);
}

class EmbedWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_frame_ = g_state.embed_window;
        saved_width_ = g_state.client_width;
        saved_height_ = g_state.client_height;
        saved_extra_width_ = g_state.frame_extra_width;
        saved_extra_height_ = g_state.frame_extra_height;
        saved_record_ = g_state.embed_state;
    }

    void TearDown() override
    {
        if (frame_)
            DestroyWindow(frame_);
        UnregisterClassA(kFrameClass, GetModuleHandleA(nullptr));
        g_state.embed_window = saved_frame_;
        g_state.client_width = saved_width_;
        g_state.client_height = saved_height_;
        g_state.frame_extra_width = saved_extra_width_;
        g_state.frame_extra_height = saved_extra_height_;
        g_state.embed_state = saved_record_;
    }

    // An overlapped frame of our own with its border and caption measured, as the
    // wrapper's frame has them.
    void create_frame()
    {
        WNDCLASSA window_class = {};
        window_class.lpfnWndProc = DefWindowProcA;
        window_class.hInstance = GetModuleHandleA(nullptr);
        window_class.lpszClassName = kFrameClass;
        ASSERT_NE(RegisterClassA(&window_class), 0);
        frame_ = CreateWindowExA(0, kFrameClass, "frame", WS_OVERLAPPEDWINDOW, 30, 40, 300, 400,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(frame_, nullptr);
        RECT client;
        RECT outer;
        ASSERT_TRUE(GetClientRect(frame_, &client));
        ASSERT_TRUE(GetWindowRect(frame_, &outer));
        g_state.embed_window = frame_;
        g_state.client_width = client.right;
        g_state.client_height = client.bottom;
        extra_width_ = (outer.right - outer.left) - client.right;
        extra_height_ = (outer.bottom - outer.top) - client.bottom;
        g_state.frame_extra_width = extra_width_;
        g_state.frame_extra_height = extra_height_;
    }

    RECT frame_rect() const
    {
        RECT rect = {};
        EXPECT_TRUE(GetWindowRect(frame_, &rect));
        return rect;
    }

    HWND frame_ = nullptr;
    int32_t extra_width_ = 0;
    int32_t extra_height_ = 0;

private:
    HWND saved_frame_ = nullptr;
    int32_t saved_width_ = 0;
    int32_t saved_height_ = 0;
    int32_t saved_extra_width_ = 0;
    int32_t saved_extra_height_ = 0;
    EmbedWindowState* saved_record_ = nullptr;
};

TEST_F(EmbedWindow, WithoutAFrameWritesZeroReturnsZeroAndStillTakesSizeAndRecord)
{
    g_state.embed_window = nullptr;
    g_state.client_width = 10;
    g_state.client_height = 10;
    g_state.frame_extra_width = 8;
    g_state.frame_extra_height = 27;

    GuardedRecord accepted = make_record(100, 100, 400, 300);
    EXPECT_EQ(provide_embed_window(&accepted.record), nullptr);
    EXPECT_EQ(accepted.record.window, nullptr);
    EXPECT_EQ(g_state.embed_state, &accepted.record);
    EXPECT_EQ(g_state.client_width, 292);
    EXPECT_EQ(g_state.client_height, 173);
    expect_rect(accepted.record.window_rect, 100, 100, 400, 300);
    EXPECT_EQ(static_cast<uint32_t>(accepted.record.reserved), kUntouched);
    EXPECT_EQ(accepted.after, kUntouched);

    GuardedRecord refused = make_record(5, 6, 7, 8);
    EXPECT_EQ(provide_embed_window(&refused.record), nullptr);
    EXPECT_EQ(refused.record.window, nullptr);
    EXPECT_EQ(g_state.embed_state, &refused.record);
    expect_rect(refused.record.window_rect, 5, 6, 5 + 292, 6 + 173);
    EXPECT_EQ(g_state.client_width, 292);
    EXPECT_EQ(g_state.client_height, 173);
    EXPECT_EQ(refused.after, kUntouched);
}

TEST_F(EmbedWindow, PositionedRectangleBecomesTheFramesOuterRectangle)
{
    ASSERT_NO_FATAL_FAILURE(create_frame());
    GuardedRecord guarded = make_record(100, 100, 400, 300);
    EXPECT_EQ(provide_embed_window(&guarded.record), frame_);
    EXPECT_EQ(guarded.record.window, frame_);
    EXPECT_EQ(g_state.embed_state, &guarded.record);
    EXPECT_EQ(g_state.client_width, 300 - extra_width_);
    EXPECT_EQ(g_state.client_height, 200 - extra_height_);
    expect_rect(frame_rect(), 100, 100, 400, 300);
    EXPECT_EQ(static_cast<uint32_t>(guarded.record.reserved), kUntouched);
    EXPECT_EQ(guarded.after, kUntouched);
}

TEST_F(EmbedWindow, MarkedRectangleGivesTheClientSizeAndLeavesTheFrameWhereItIs)
{
    ASSERT_NO_FATAL_FAILURE(create_frame());
    const RECT before = frame_rect();
    GuardedRecord guarded = make_record(kPositionMarker, kPositionMarker, 320, 240);
    EXPECT_EQ(provide_embed_window(&guarded.record), frame_);
    EXPECT_EQ(g_state.client_width, 320);
    EXPECT_EQ(g_state.client_height, 240);
    expect_rect(frame_rect(), before.left, before.top, before.left + 320 + extra_width_,
                before.top + 240 + extra_height_);
}

TEST_F(EmbedWindow, MinimumSizeIsAcceptedAndOnePixelLessIsRefusedOnEitherAxis)
{
    ASSERT_NO_FATAL_FAILURE(create_frame());
    GuardedRecord exact = make_record(100, 100, 150, 120);
    provide_embed_window(&exact.record);
    EXPECT_EQ(g_state.client_width, 50 - extra_width_);
    EXPECT_EQ(g_state.client_height, 20 - extra_height_);
    expect_rect(exact.record.window_rect, 100, 100, 150, 120);

    g_state.client_width = 200;
    g_state.client_height = 150;
    for (const RECT too_small : {RECT{10, 20, 59, 220}, RECT{10, 20, 310, 39}}) {
        GuardedRecord refused =
            make_record(too_small.left, too_small.top, too_small.right, too_small.bottom);
        EXPECT_EQ(provide_embed_window(&refused.record), frame_);
        EXPECT_EQ(refused.record.window, frame_);
        EXPECT_EQ(g_state.embed_state, &refused.record);
        expect_rect(refused.record.window_rect, 10, 20, 210, 170);
        EXPECT_EQ(g_state.client_width, 200);
        EXPECT_EQ(g_state.client_height, 150);
        expect_rect(frame_rect(), 10, 20, 10 + 200 + extra_width_, 20 + 150 + extra_height_);
    }
}

TEST_F(EmbedWindow, EachCallRemembersItsOwnRecordAndLeavesTheEarlierOneAlone)
{
    ASSERT_NO_FATAL_FAILURE(create_frame());
    GuardedRecord first = make_record(100, 100, 400, 300);
    GuardedRecord second = make_record(50, 60, 250, 260);
    provide_embed_window(&first.record);
    EXPECT_EQ(g_state.embed_state, &first.record);
    const GuardedRecord first_after_its_call = first;

    EXPECT_EQ(provide_embed_window(&second.record), frame_);
    EXPECT_EQ(g_state.embed_state, &second.record);
    EXPECT_EQ(second.record.window, frame_);
    expect_rect(frame_rect(), 50, 60, 250, 260);
    EXPECT_EQ(std::memcmp(&first, &first_after_its_call, sizeof first), 0);
}

}  // namespace
