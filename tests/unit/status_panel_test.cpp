// Render on the player's thread: the status panel it paints and the audio it stages.
#include "host/path_text.h"
#include "host/plugin_object.h"
#include "host/wrapper_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <vector>

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 100;

// A memory device context over a 32-bit top-down DIB, with a font whose text has exact
// colours.
class Canvas {
public:
    Canvas()
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = kWidth;
        info.bmiHeader.biHeight = -kHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&pixels_), nullptr, 0);
        old_bitmap_ = SelectObject(dc_, bitmap_);
        font_ = CreateFontA(14, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0,
                            "Arial");
        old_font_ = SelectObject(dc_, font_);
        clear();
    }
    ~Canvas()
    {
        SelectObject(dc_, old_font_);
        SelectObject(dc_, old_bitmap_);
        DeleteObject(font_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }
    void clear() { std::fill(pixels_, pixels_ + kWidth * kHeight, 0xFFFFFFu); }
    uint32_t at(int x, int y) const { return pixels_[y * kWidth + x] & 0xFFFFFF; }
    // Whether a row band holds a pixel of the colour (0xRRGGBB).
    bool band_has(int top, int bottom, uint32_t colour) const
    {
        for (int y = top; y < bottom; ++y)
            for (int x = 0; x < kWidth; ++x)
                if (at(x, y) == colour)
                    return true;
        return false;
    }
    // The cell that TextOut fills for text at (x, y) with the canvas's font.
    std::vector<uint32_t> text_cell(int x, int y, const char* text) const
    {
        SIZE size = {};
        GetTextExtentPoint32A(dc_, text, static_cast<int>(strlen(text)), &size);
        std::vector<uint32_t> cell;
        for (int row = y; row < std::min(y + static_cast<int>(size.cy), kHeight); ++row)
            for (int column = x; column < std::min(x + static_cast<int>(size.cx), kWidth); ++column)
                cell.push_back(at(column, row));
        return cell;
    }

private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_bitmap_ = nullptr;
    HFONT font_ = nullptr;
    HGDIOBJ old_font_ = nullptr;
    uint32_t* pixels_ = nullptr;
};

class StatusPanel : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_visual_plugin_object.panel_width = 0;
        g_visual_plugin_object.panel_height = 0;
        g_state.plugin_path[0] = '\0';
        g_state.render_thread = nullptr;
        allow_paint();
    }
    void TearDown() override { g_state.plugin_path[0] = '\0'; }

    static void allow_paint() { g_state.last_panel_clock = static_cast<int32_t>(clock()) - 10000; }
    void render() { g_visual_plugin_object.operation_table->Render(&g_visual_plugin_object, canvas_.dc(), data_); }

    Canvas canvas_;
    uint8_t data_[1544] = {};
};

// Line 3 as the panel must show it, drawn the same way on a canvas of its own.
std::vector<uint32_t> expected_line3(const char* text)
{
    Canvas reference;
    SetBkColor(reference.dc(), RGB(64, 64, 64));
    SetTextColor(reference.dc(), RGB(128, 128, 128));
    TextOutA(reference.dc(), 6, 45, text, static_cast<int>(strlen(text)));
    return reference.text_cell(6, 45, text);
}

TEST_F(StatusPanel, PaintsTheRectangleAndThreeLinesInTheirColours)
{
    g_visual_plugin_object.operation_table->Resize(&g_visual_plugin_object, 300, 80);
    render();
    EXPECT_EQ(canvas_.at(150, 70), 0x404040u);
    EXPECT_EQ(canvas_.at(310, 90), 0xFFFFFFu);
    EXPECT_TRUE(canvas_.band_has(5, 20, 0xFF9B2B));
    EXPECT_TRUE(canvas_.band_has(21, 36, 0xC0C0C0));
    EXPECT_TRUE(canvas_.band_has(45, 60, 0x808080));
    EXPECT_EQ(canvas_.text_cell(6, 45, "No plugin loaded"), expected_line3("No plugin loaded"));
}

TEST_F(StatusPanel, LineThreeNamesTheSelectedPluginAndLongPathsAreCut)
{
    ASSERT_TRUE(copy_path(g_state.plugin_path, kPathCapacity, "C:\\vis\\vis_probe.dll"));
    render();
    const char* line = "Loaded plugin: C:\\vis\\vis_probe.dll";
    EXPECT_EQ(canvas_.text_cell(6, 45, line), expected_line3(line));

    const std::string long_path = "C:\\" + std::string(256, 'p');
    ASSERT_TRUE(copy_path(g_state.plugin_path, kPathCapacity, long_path.c_str()));
    allow_paint();
    canvas_.clear();
    render();
    const std::string cut = ("Loaded plugin: " + long_path).substr(0, 255);
    EXPECT_EQ(canvas_.text_cell(6, 45, cut.c_str()), expected_line3(cut.c_str()));
}

TEST_F(StatusPanel, BeforeAnyResizeTheLinesAreStillDrawn)
{
    render();
    EXPECT_EQ(canvas_.at(150, 70), 0xFFFFFFu);
    EXPECT_TRUE(canvas_.band_has(5, 20, 0xFF9B2B));
    EXPECT_TRUE(canvas_.band_has(45, 60, 0x808080));
}

TEST_F(StatusPanel, PaintsAtMostOnceEvery250Ticks)
{
    render();
    canvas_.clear();
    g_state.last_panel_clock = static_cast<int32_t>(clock()) - 100;
    render();
    EXPECT_FALSE(canvas_.band_has(5, 20, 0xFF9B2B));

    g_state.last_panel_clock = static_cast<int32_t>(clock()) - 250;
    render();
    EXPECT_TRUE(canvas_.band_has(5, 20, 0xFF9B2B));
}

// Stands for the render thread: it says it ended as its last act, as that thread does.
DWORD WINAPI wait_for_event(LPVOID event)
{
    WaitForSingleObject(event, INFINITE);
    g_state.render_thread_ended = 1;
    return 0;
}

TEST_F(StatusPanel, StagesOnlyWhatTheModuleWantsAndCollectsAnEndedThread)
{
    InitializeCriticalSection(&g_state.audio_lock);
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    g_state.render_thread_ended = 0;
    g_state.render_thread = CreateThread(nullptr, 0, wait_for_event, release, 0, nullptr);
    ASSERT_NE(g_state.render_thread, nullptr);

    std::fill(data_ + 8, data_ + 520, 0x11);
    std::fill(data_ + 520, data_ + 1544, 0x22);
    memset(g_state.waveform_staging, 0, sizeof g_state.waveform_staging);
    memset(g_state.spectrum_staging, 0, sizeof g_state.spectrum_staging);
    g_state.waveform_wanted = 0;
    g_state.spectrum_wanted = 1;
    g_state.data_pending = 0;
    render();
    EXPECT_EQ(g_state.data_pending, 1);
    EXPECT_EQ(g_state.spectrum_staging[0], 0x11);
    EXPECT_EQ(g_state.spectrum_staging[511], 0x11);
    EXPECT_EQ(g_state.waveform_staging[0], 0);

    // The thread ends by itself: the next Render closes it and stages nothing.
    SetEvent(release);
    WaitForSingleObject(g_state.render_thread, 10000);
    g_state.data_pending = 0;
    g_state.waveform_wanted = 1;
    render();
    EXPECT_EQ(g_state.render_thread, nullptr);
    EXPECT_EQ(g_state.data_pending, 0);
    EXPECT_EQ(g_state.waveform_staging[0], 0);

    g_state.waveform_wanted = 0;
    g_state.spectrum_wanted = 0;
    CloseHandle(release);
    DeleteCriticalSection(&g_state.audio_lock);
}

}  // namespace
