// vis_example's OpenGL module run by the real wrapper in the display lane: the bars on the
// screen follow the music, in the frame the wrapper offers and in a window of its own.
#include "tests/support/example_bars_on_screen.h"
#include "tests/support/ini_file.h"

namespace {

const char kGlViewClass[] = "VisExampleGlView";
constexpr int kOpenGlModule = 2;

class VisExampleOpenGl : public ExampleBarsOnScreen {
protected:
    VisExampleOpenGl() : ExampleBarsOnScreen(kOpenGlModule) {}
};

TEST_F(VisExampleOpenGl, BarsDrawnWithOpenGlFillTheFrameAndFollowTheMusic)
{
    HWND view = start_view(kGlViewClass, true);
    ASSERT_NE(view, nullptr) << "no OpenGL view in a visible frame: is there an OpenGL pixel format?";
    expect_bars_to_follow_the_music(view);
    expect_clean_finish("KorvelVisPluginEmbed");
}

TEST_F(VisExampleOpenGl, InAWindowOfItsOwnTheScreenShowsTheBars)
{
    set_ini_value(ini_path(), "vis_example", "embed_in_frame", "0");
    HWND view = start_view(kGlViewClass, false);
    ASSERT_NE(view, nullptr);
    expect_bars_to_follow_the_music(view);
    expect_clean_finish(kGlViewClass);
}

}  // namespace
