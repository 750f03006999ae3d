// vis_example's Direct3D 9 module run by the real wrapper in the display lane: a device in
// a child of the frame the wrapper offers, whose bars on the screen follow the music.
#include "tests/support/example_bars_on_screen.h"

namespace {

constexpr int kDirect3DModule = 3;

class VisExampleDirect3D : public ExampleBarsOnScreen {
protected:
    VisExampleDirect3D() : ExampleBarsOnScreen(kDirect3DModule) {}
};

TEST_F(VisExampleDirect3D, BarsDrawnWithDirect3DFillTheFrameAndFollowTheMusic)
{
    HWND view = start_view("VisExampleD3dView", true);
    ASSERT_NE(view, nullptr) << "no Direct3D view in a visible frame: can a device be made?";
    expect_bars_to_follow_the_music(view);
    expect_clean_finish("KorvelVisPluginEmbed");
}

}  // namespace
