// vis_example's 3D modules run by the real wrapper in the display lane (an X server, Wine's
// X11 driver and mesa): the bars they draw are read from the screen, as a person sees them.
// Each module's test program makes a fixture of this class for its module.
#pragma once

#include "tests/support/temp_dir.h"
#include "tests/support/test_player.h"
#include "tests/support/wrapper_dll.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

class ExampleBarsOnScreen : public ::testing::Test {
protected:
    // Selects vis_example's module `module` in red bars with white peaks on navy.
    explicit ExampleBarsOnScreen(int module);
    ~ExampleBarsOnScreen() override;

    // Initializes the wrapper and renders loud music until a view of the class shows,
    // in the frame (then moved on top of everything) or in a window of its own as the
    // module's settings say; 0 when none shows in time.
    HWND start_view(const char* view_class, bool in_frame);
    // Level 200 of 255: red bars with white peaks on navy, every pixel drawn. Then
    // silence: the bars go at once, the peaks fall until they are gone too.
    void expect_bars_to_follow_the_music(HWND view);
    // Finalizes the wrapper; no window of the class is left.
    void expect_clean_finish(const char* window_class);

    std::string ini_path() const { return ini_; }

private:
    bool render_until(const std::vector<uint8_t>& audio, const std::function<bool()>& condition);

    TempDir dir_;
    TestPlayer player_;
    const std::string ini_ = dir_.file("zeko_vis_winamp.ini");
    WrapperDll dll_;
    HDC panel_ = nullptr;
};

// A top-level window of this process (FindWindowA would see other processes too).
HWND own_window(const char* class_name);
