#include "tests/support/example_bars_on_screen.h"

#include "tests/support/ini_file.h"
#include "tests/support/wait.h"
#include "tests/support/window_capture.h"

namespace {

const char kFrameClass[] = "KorvelVisPluginEmbed";
// Starting Wine with an X server, and mesa's first context or device, take seconds; tens
// of seconds under an emulated CPU.
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

}  // namespace

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

ExampleBarsOnScreen::ExampleBarsOnScreen(int module)
{
    player_.set_settings_answer(dir_.path().c_str());
    set_ini_value(ini_, "vis_example", "background_colour", "#000080");
    set_ini_value(ini_, "vis_example", "bar_colour", "#FF0000");
    set_ini_value(ini_, "vis_example", "peak_colour", "#FFFFFF");
    set_ini_value(ini_, "zeko_vis_winamp", "plugin_dll", build_dir() + "vis_example.dll");
    set_ini_value(ini_, "zeko_vis_winamp", "module_index", std::to_string(module));
    panel_ = CreateCompatibleDC(nullptr);
}

ExampleBarsOnScreen::~ExampleBarsOnScreen()
{
    DeleteDC(panel_);
}

bool ExampleBarsOnScreen::render_until(const std::vector<uint8_t>& audio,
                                       const std::function<bool()>& condition)
{
    return wait_until(
        [&] {
            dll_.render(panel_, audio.data());
            return condition();
        },
        kTimeoutMs);
}

HWND ExampleBarsOnScreen::start_view(const char* view_class, bool in_frame)
{
    if (dll_.initialize() != 1)
        return nullptr;
    HWND top = nullptr;
    HWND view = nullptr;
    const std::vector<uint8_t> loud = spectrum_at(200);
    const bool shown = render_until(loud, [&] {
        top = own_window(in_frame ? kFrameClass : view_class);
        view = top && in_frame ? FindWindowExA(top, nullptr, view_class, nullptr) : top;
        return view && IsWindowVisible(top);
    });
    if (!shown)
        return nullptr;
    // Nothing of the test player's lies over it.
    SetWindowPos(top, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return view;
}

void ExampleBarsOnScreen::expect_bars_to_follow_the_music(HWND view)
{
    const std::vector<uint8_t> loud = spectrum_at(200);
    const std::vector<uint8_t> silent = spectrum_at(0);
    const auto step = [&](const std::vector<uint8_t>& audio) {
        return [&] { dll_.render(panel_, audio.data()); };
    };
    WindowCapture loud_look;
    EXPECT_TRUE(step_until_picture(step(loud), view, capture_client_from_screen, &loud_look,
                                   [](const WindowCapture& p) {
                                       return p.count(kRed) > 0 && p.count(kWhite) > 0;
                                   },
                                   kTimeoutMs));
    EXPECT_EQ(loud_look.count(kRed) + loud_look.count(kWhite) + loud_look.count(kNavy),
              loud_look.pixels.size());
    EXPECT_EQ(loud_look.count(kNavy, 0, 1), static_cast<size_t>(loud_look.width)) << "top row";

    WindowCapture silent_look;
    EXPECT_TRUE(step_until_picture(step(silent), view, capture_client_from_screen, &silent_look,
                                   [](const WindowCapture& p) {
                                       return p.count(kRed) == 0 && p.count(kWhite) == 0;
                                   },
                                   kTimeoutMs));
    EXPECT_EQ(silent_look.count(kNavy), silent_look.pixels.size());
}

void ExampleBarsOnScreen::expect_clean_finish(const char* window_class)
{
    dll_.finalize();
    EXPECT_EQ(own_window(window_class), nullptr);
}
