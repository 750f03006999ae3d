// vis_example.dll run by the real wrapper as the player runs it: it draws in the frame the
// wrapper offers, in the colours of its own section of the wrapper's settings file, keeps
// that section up to date, and its configuration dialog names the player.
#include "examples/vis_example/config_dialog_ids.h"
#include "tests/support/ini_file.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_player.h"
#include "tests/support/wait.h"
#include "tests/support/window_capture.h"
#include "tests/support/wrapper_dll.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <thread>

namespace {

const char kWrapperSection[] = "zeko_vis_winamp";
const char kExampleSection[] = "vis_example";
const char kFrameClass[] = "KorvelVisPluginEmbed";
const char kViewClass[] = "VisExampleView";
// A run starts in seconds on a real machine and in tens of seconds under an emulated CPU.
constexpr DWORD kTimeoutMs = 120000;
constexpr int kSpectrumModule = 0;
constexpr int kScopeModule = 1;
constexpr int kOpenGlModule = 2;

// The colours the tests write into the plug-in's section, as captured pixels.
constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kNavy = 0x000080;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kGreen = 0x00FF00;

// The player's audio record: a loud, flat spectrum and a sine wave in both channels.
std::vector<uint8_t> loud_audio()
{
    std::vector<uint8_t> audio(1544, 0);
    std::fill(audio.begin() + 8, audio.begin() + 520, 200);
    for (int i = 0; i < 1024; ++i)
        audio[520 + i] = static_cast<uint8_t>(static_cast<int8_t>(100 * std::sin(i / 10.0)));
    return audio;
}

struct OwnWindowSearch {
    const char* class_name;
    HWND found;
};

BOOL CALLBACK match_own_window(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<OwnWindowSearch*>(parameter);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char name[64] = {};
    if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
        GetClassNameA(window, name, sizeof name) && std::strcmp(name, search->class_name) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// A visible top-level window of this process (FindWindowA would see other processes too).
HWND find_own_window(const char* class_name)
{
    OwnWindowSearch search = {class_name, nullptr};
    EnumWindows(match_own_window, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND wait_for_own_window(const char* class_name, DWORD timeout_ms)
{
    HWND found = nullptr;
    const DWORD start = GetTickCount();
    while (!(found = find_own_window(class_name)) && GetTickCount() - start < timeout_ms)
        Sleep(5);
    return found;
}

// The number of runs of the colour along a row: the bars a spectrum row crosses.
int runs_in_row(const WindowCapture& capture, int y, uint32_t rgb)
{
    int runs = 0;
    for (int x = 0; x < capture.width; ++x)
        runs += capture.at(x, y) == rgb && (x == 0 || capture.at(x - 1, y) != rgb);
    return runs;
}

// What the user saw in the configuration dialog.
struct DialogReading {
    bool seen = false;
    std::string skin_option_text;
    bool skin_option_enabled = true;
};

class VisExample : public ::testing::Test {
protected:
    void SetUp() override
    {
        player_.set_settings_answer(dir_.path().c_str());
        set_ini_value(ini_, kExampleSection, "background_colour", "#000080");
        set_ini_value(ini_, kExampleSection, "bar_colour", "#FF0000");
        set_ini_value(ini_, kExampleSection, "peak_colour", "#FFFFFF");
        set_ini_value(ini_, kExampleSection, "wave_colour", "#00FF00");
        panel_ = CreateCompatibleDC(nullptr);
    }

    void TearDown() override { DeleteDC(panel_); }

    void select_module(int index)
    {
        set_ini_value(ini_, kWrapperSection, "plugin_dll", build_dir() + "vis_example.dll");
        set_ini_value(ini_, kWrapperSection, "module_index", std::to_string(index));
    }

    // Calls Render as the player does, every few milliseconds, until the condition holds.
    bool render_until(WrapperDll& dll, const std::function<bool()>& condition)
    {
        return wait_until(
            [&] {
                dll.render(panel_, audio_.data());
                return condition();
            },
            kTimeoutMs);
    }

    // Renders until the window's picture satisfies the condition, capturing it at most
    // every 100 ms; the last capture stays in `capture`.
    bool render_until_picture(WrapperDll& dll, HWND view, WindowCapture* capture,
                              const std::function<bool(const WindowCapture&)>& condition)
    {
        return step_until_picture([&] { dll.render(panel_, audio_.data()); }, view,
                                  capture_client, capture, condition, kTimeoutMs);
    }

    // The view inside the wrapper's frame, once the module has made it.
    HWND wait_for_view_in_frame(WrapperDll& dll)
    {
        HWND view = nullptr;
        render_until(dll, [&] {
            HWND frame = find_own_window(kFrameClass);
            view = frame ? FindWindowExA(frame, nullptr, kViewClass, nullptr) : nullptr;
            return view != nullptr;
        });
        return view;
    }

    TempDir dir_;
    TestPlayer player_;
    const std::string ini_ = dir_.file("zeko_vis_winamp.ini");
    const std::vector<uint8_t> audio_ = loud_audio();
    HDC panel_ = nullptr;
};

TEST_F(VisExample, SpectrumBarsFillTheFrameInTheColoursOfTheirSection)
{
    select_module(kSpectrumModule);
    WrapperDll dll;
    ASSERT_EQ(dll.initialize(), 1);
    HWND view = wait_for_view_in_frame(dll);
    ASSERT_NE(view, nullptr);

    HWND frame = GetParent(view);
    EXPECT_TRUE(IsWindowVisible(frame));
    RECT frame_client;
    RECT view_client;
    ASSERT_TRUE(GetClientRect(frame, &frame_client));
    ASSERT_TRUE(GetClientRect(view, &view_client));
    EXPECT_EQ(view_client.right, frame_client.right);
    EXPECT_EQ(view_client.bottom, frame_client.bottom);

    // Level 200 of 255: red bars, white peaks on them, navy above and between.
    WindowCapture picture;
    EXPECT_TRUE(render_until_picture(dll, view, &picture, [](const WindowCapture& p) {
        return p.count(kRed) > 0 && p.count(kWhite) > 0;
    }));
    EXPECT_EQ(picture.count(kUnpaintedRgb), 0u);
    EXPECT_EQ(picture.count(kRed) + picture.count(kWhite) + picture.count(kNavy),
              picture.pixels.size());
    EXPECT_EQ(picture.count(kNavy, 0, 1), static_cast<size_t>(picture.width)) << "top row";
    EXPECT_EQ(runs_in_row(picture, picture.height - 1, kRed), 32) << "the default bar count";

    dll.finalize();
    // The module saved its whole section when it quit, keeping what it had read.
    EXPECT_EQ(ini_value(ini_, kExampleSection, "bar_count"), "32");
    EXPECT_EQ(ini_value(ini_, kExampleSection, "peak_falloff"), "3");
    EXPECT_EQ(ini_value(ini_, kExampleSection, "bar_colour"), "#FF0000");
    EXPECT_EQ(ini_value(ini_, kExampleSection, "embed_in_frame"), "1");
    EXPECT_EQ(find_own_window(kFrameClass), nullptr);
}

TEST_F(VisExample, OscilloscopeTracesEachChannelInItsOwnHalf)
{
    select_module(kScopeModule);
    WrapperDll dll;
    ASSERT_EQ(dll.initialize(), 1);
    HWND view = wait_for_view_in_frame(dll);
    ASSERT_NE(view, nullptr);

    WindowCapture picture;
    EXPECT_TRUE(render_until_picture(dll, view, &picture, [](const WindowCapture& p) {
        return p.count(kGreen, 0, p.height / 2) > 0 && p.count(kGreen, p.height / 2, p.height) > 0;
    }));
    EXPECT_EQ(picture.count(kRed), 0u) << "no bars in the oscilloscope";
    EXPECT_EQ(picture.count(kGreen) + picture.count(kNavy), picture.pixels.size());
    dll.finalize();
}

TEST_F(VisExample, WithoutTheFrameOptionItDrawsInAWindowOfItsOwn)
{
    set_ini_value(ini_, kExampleSection, "embed_in_frame", "0");
    select_module(kSpectrumModule);
    WrapperDll dll;
    ASSERT_EQ(dll.initialize(), 1);
    HWND view = nullptr;
    ASSERT_TRUE(render_until(dll, [&] { return (view = find_own_window(kViewClass)) != nullptr; }));

    EXPECT_EQ(GetParent(view), nullptr);
    EXPECT_EQ(find_own_window(kFrameClass), nullptr) << "the first init succeeded: no frame";
    WindowCapture picture;
    EXPECT_TRUE(render_until_picture(dll, view, &picture,
                                     [](const WindowCapture& p) { return p.count(kRed) > 0; }));
    dll.finalize();
    EXPECT_EQ(ini_value(ini_, kExampleSection, "embed_in_frame"), "0");
}

TEST_F(VisExample, OpenGlModuleFailsItsInitQuietlyWhereThereIsNoOpenGl)
{
    select_module(kOpenGlModule);
    WrapperDll dll;
    ASSERT_EQ(dll.initialize(), 1);
    // Wine's null driver has no OpenGL pixel format. The run is over once the module's quit
    // has saved its section; a box in init would hold the run until the time-out.
    EXPECT_TRUE(render_until(dll, [&] {
        return ini_value(ini_, kExampleSection, "bar_count") != "<missing>";
    }));
    EXPECT_EQ(find_own_window(kFrameClass), nullptr);
    EXPECT_EQ(find_own_window("#32770"), nullptr);
    dll.finalize();
}

// Picks "&Configure" (the third item) in the wrapper's popup menu, then reads the dialog,
// types a bar count and presses OK, as a user would.
void configure_through_menu(DialogReading* reading)
{
    HWND menu = wait_for_own_window("#32768", kTimeoutMs);
    if (!menu)
        return;
    for (int i = 0; i < 3; ++i) {
        PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(menu, WM_KEYUP, VK_DOWN, 0);
    }
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    PostMessageA(menu, WM_KEYUP, VK_RETURN, 0);

    HWND dialog = wait_for_own_window("#32770", kTimeoutMs);
    if (!dialog)
        return;
    char text[256] = {};
    GetDlgItemTextA(dialog, IDC_EMBED_IN_FRAME, text, sizeof text);
    reading->skin_option_text = text;
    reading->skin_option_enabled = IsWindowEnabled(GetDlgItem(dialog, IDC_EMBED_IN_FRAME));
    reading->seen = true;
    SetDlgItemTextA(dialog, IDC_BAR_COUNT, "12");
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

TEST_F(VisExample, ConfigDialogNamesThePlayerAndItsChoiceReachesTheRunningModule)
{
    select_module(kSpectrumModule);
    WrapperDll dll;
    ASSERT_EQ(dll.initialize(), 1);
    HWND view = wait_for_view_in_frame(dll);
    ASSERT_NE(view, nullptr);

    // Configure on a running module calls its entry on this thread, inside Click.
    DialogReading reading;
    std::thread user(configure_through_menu, &reading);
    dll.click();
    user.join();

    ASSERT_TRUE(reading.seen);
    EXPECT_EQ(reading.skin_option_text, "Integrate with  ZEKO  skin");
    EXPECT_FALSE(reading.skin_option_enabled);
    EXPECT_EQ(ini_value(ini_, kExampleSection, "bar_count"), "12") << "saved on OK";

    WindowCapture picture;
    EXPECT_TRUE(render_until_picture(dll, view, &picture, [](const WindowCapture& p) {
        return runs_in_row(p, p.height - 1, kRed) == 12;
    }));
    dll.finalize();
    EXPECT_EQ(ini_value(ini_, kExampleSection, "bar_count"), "12");
}

}  // namespace
