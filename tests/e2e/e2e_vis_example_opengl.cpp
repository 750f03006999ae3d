// vis_example's OpenGL module run by the real wrapper in the display lane (an X server,
// Wine's X11 driver and mesa's OpenGL): its picture follows the music, in the frame the
// wrapper offers and in a window of its own. Under Debian's Wine 8.0 OpenGL in a child
// window never reaches the screen, so in the frame the picture is the module's own
// read-back of what OpenGL drew, which it hands out for WM_PRINTCLIENT; a top-level
// window's picture is read from the screen.
#include "tests/support/ini_file.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_player.h"
#include "tests/support/wait.h"
#include "tests/support/window_capture.h"
#include "tests/support/wrapper_dll.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

namespace {

const char kFrameClass[] = "KorvelVisPluginEmbed";
const char kGlViewClass[] = "VisExampleGlView";
constexpr int kOpenGlModule = 2;
// Starting Wine with an X server, and mesa's first context, take seconds.
constexpr DWORD kTimeoutMs = 120000;
constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kNavy = 0x000080;
constexpr uint32_t kWhite = 0xFFFFFF;

// The player's audio record with every spectrum value at `level`.
std::vector<uint8_t> spectrum_at(uint8_t level)
{
    std::vector<uint8_t> audio(1544, 0);
    std::fill(audio.begin() + 8, audio.begin() + 520, level);
    return audio;
}

class VisExampleOpenGl : public ::testing::Test {
protected:
    void SetUp() override
    {
        player_.set_settings_answer(dir_.path().c_str());
        set_ini_value(ini_, "vis_example", "background_colour", "#000080");
        set_ini_value(ini_, "vis_example", "bar_colour", "#FF0000");
        set_ini_value(ini_, "vis_example", "peak_colour", "#FFFFFF");
        set_ini_value(ini_, "zeko_vis_winamp", "plugin_dll", build_dir() + "vis_example.dll");
        set_ini_value(ini_, "zeko_vis_winamp", "module_index", std::to_string(kOpenGlModule));
        panel_ = CreateCompatibleDC(nullptr);
    }
    void TearDown() override { DeleteDC(panel_); }

    // Renders `audio` as the player does until the condition holds.
    bool render_until(const std::vector<uint8_t>& audio, const std::function<bool()>& condition)
    {
        return wait_until(
            [&] {
                dll_.render(panel_, audio.data());
                return condition();
            },
            kTimeoutMs);
    }

    // Renders until the view's picture satisfies the condition, looking every 100 ms.
    bool render_until_picture(const std::vector<uint8_t>& audio, HWND view, const PictureLook& look,
                              WindowCapture* picture,
                              const std::function<bool(const WindowCapture&)>& condition)
    {
        return step_until_picture([&] { dll_.render(panel_, audio.data()); }, view, look, picture,
                                  condition, kTimeoutMs);
    }

    // Level 200 of 255: red bars with white peaks on navy, every pixel drawn. Then
    // silence: the bars go at once, the peaks fall until they are gone too.
    void expect_bars_to_follow_the_music(HWND view, const PictureLook& look)
    {
        WindowCapture loud_look;
        EXPECT_TRUE(render_until_picture(loud_, view, look, &loud_look, [](const WindowCapture& p) {
            return p.count(kRed) > 0 && p.count(kWhite) > 0;
        }));
        EXPECT_EQ(loud_look.count(kRed) + loud_look.count(kWhite) + loud_look.count(kNavy),
                  loud_look.pixels.size());
        EXPECT_EQ(loud_look.count(kNavy, 0, 1), static_cast<size_t>(loud_look.width)) << "top row";

        WindowCapture silent_look;
        EXPECT_TRUE(render_until_picture(silent_, view, look, &silent_look,
                                         [](const WindowCapture& p) {
                                             return p.count(kRed) == 0 && p.count(kWhite) == 0;
                                         }));
        EXPECT_EQ(silent_look.count(kNavy), silent_look.pixels.size());
    }

    TempDir dir_;
    TestPlayer player_;
    const std::string ini_ = dir_.file("zeko_vis_winamp.ini");
    WrapperDll dll_;
    HDC panel_ = nullptr;
    const std::vector<uint8_t> loud_ = spectrum_at(200);
    const std::vector<uint8_t> silent_ = spectrum_at(0);
};

// A top-level window of this process (FindWindowA would see other processes too).
HWND own_window(const char* class_name)
{
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, class_name, nullptr))) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process == GetCurrentProcessId())
            return window;
    }
    return nullptr;
}

TEST_F(VisExampleOpenGl, BarsDrawnWithOpenGlFillTheFrameAndFollowTheMusic)
{
    ASSERT_EQ(dll_.initialize(), 1);
    HWND frame = nullptr;
    HWND view = nullptr;
    ASSERT_TRUE(render_until(loud_, [&] {
        frame = own_window(kFrameClass);
        view = frame ? FindWindowExA(frame, nullptr, kGlViewClass, nullptr) : nullptr;
        return view && IsWindowVisible(frame);
    })) << "no OpenGL view in a visible frame: is there an OpenGL pixel format?";
    expect_bars_to_follow_the_music(view, capture_printed_client);
    dll_.finalize();
    EXPECT_EQ(own_window(kFrameClass), nullptr);
}

TEST_F(VisExampleOpenGl, InAWindowOfItsOwnTheScreenShowsTheBars)
{
    set_ini_value(ini_, "vis_example", "embed_in_frame", "0");
    ASSERT_EQ(dll_.initialize(), 1);
    HWND view = nullptr;
    ASSERT_TRUE(render_until(loud_, [&] {
        view = own_window(kGlViewClass);
        return view && IsWindowVisible(view);
    }));
    // Nothing of the test player's lies over it.
    SetWindowPos(view, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    expect_bars_to_follow_the_music(view, capture_client_from_screen);
    dll_.finalize();
    EXPECT_EQ(own_window(kGlViewClass), nullptr);
}

}  // namespace
