// The figures that need the real zeko_vis_winamp.dll hosted as the player hosts it: the
// cost of Render, the render thread's pacing, the staging-to-render latency, the CPU it
// uses and how long it takes to start and stop, each next to a baseline of the same run.
#include "bench/bench_host.h"
#include "bench/figure_line.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_player.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr int kPacingDelaysMs[] = {10, 16, 33};

// A memory device context for the status panel, which Render paints every 250 ticks.
class PanelDc {
public:
    PanelDc()
        : dc_(CreateCompatibleDC(nullptr)),
          bitmap_(dc_ ? CreateBitmap(kWidth, kHeight, 1, 32, nullptr) : nullptr)
    {
        if (bitmap_)
            previous_ = SelectObject(dc_, bitmap_);
    }
    ~PanelDc()
    {
        if (previous_)
            SelectObject(dc_, previous_);
        if (bitmap_)
            DeleteObject(bitmap_);
        if (dc_)
            DeleteDC(dc_);
    }
    PanelDc(const PanelDc&) = delete;
    PanelDc& operator=(const PanelDc&) = delete;

    static constexpr int kWidth = 300;
    static constexpr int kHeight = 80;
    HDC dc() const { return previous_ ? dc_ : nullptr; }

private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ previous_ = nullptr;
};

int fail(const char* what)
{
    fprintf(stderr, "bench_wrapper: %s\n", what);
    return 1;
}

}  // namespace

// With no arguments every part runs; "pacing" or "render" runs only that part.
int main(int argc, char** argv)
{
    const auto wanted = [argc, argv](const char* part) {
        if (argc < 2)
            return true;
        for (int i = 1; i < argc; ++i)
            if (strcmp(argv[i], part) == 0)
                return true;
        return false;
    };

    // The Winamp window answers on a thread of its own, as the player's does, so the
    // render thread's requests are answered while the player's thread calls Render.
    TestPlayer::Options options;
    options.winamp_on_own_thread = true;
    TestPlayer player_windows(options);
    if (!player_windows.app_window() || !player_windows.winamp_window())
        return fail("the player's windows could not be created");
    TempDir settings_dir;
    player_windows.set_settings_answer(settings_dir.path().c_str());

    const std::string dir = program_dir();
    BenchPlugin plugin(dir + "vis_bench.dll");
    if (!plugin.ok())
        return fail("vis_bench.dll is not usable");
    if (!WritePrivateProfileStringA("zeko_vis_winamp", "plugin_dll", plugin.path().c_str(),
                                    settings_dir.file("zeko_vis_winamp.ini").c_str()))
        return fail("the settings file could not be written");

    HostedWrapper wrapper(dir);
    if (!wrapper.ok())
        return fail("zeko_vis_winamp.dll is not usable");
    PanelDc panel;
    if (!panel.dc())
        return fail("no device context for the panel");
    wrapper.resize(PanelDc::kWidth, PanelDc::kHeight);

    PlayerLoop player;
    BenchHost host{wrapper, plugin, player, panel.dc()};
    if (wanted("pacing"))
        for (int delay_ms : kPacingDelaysMs)
            if (!measure_pacing(host, delay_ms))
                return fail("a pacing run could not be measured");
    if (wanted("render") && !measure_render_cost(host))
        return fail("the Render cost could not be measured");
    FigureLine("finished").print();
    return 0;
}
