#include "tests/support/player_session.h"

#include "tests/support/ini_file.h"
#include "tests/support/menu_picker.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// The player's audio record for one frame, silent: 8 header bytes, then the spectrum and
// the waveform of two channels.
constexpr size_t kFrameBytes = 520 + 1024;

template <typename Call>
DWORD timed(Call call)
{
    const DWORD start = GetTickCount();
    call();
    return GetTickCount() - start;
}

}  // namespace

PlayerSession::PlayerSession() : PlayerSession(TestPlayer::Options()) {}

PlayerSession::PlayerSession(const TestPlayer::Options& options)
    : player_(options), panel_dc_(CreateCompatibleDC(nullptr)), frame_(kFrameBytes)
{
    player_.set_settings_answer(dir_.path().c_str());
}

PlayerSession::~PlayerSession()
{
    if (panel_dc_)
        DeleteDC(panel_dc_);
}

void PlayerSession::select_plugin(const std::string& dll_path)
{
    set_ini_value(ini_path(), "zeko_vis_winamp", "plugin_dll", dll_path);
}

DWORD PlayerSession::initialize()
{
    return timed([this] { EXPECT_EQ(dll_.initialize(), 1); });
}

DWORD PlayerSession::finalize()
{
    return timed([this] { dll_.finalize(); });
}

DWORD PlayerSession::click_menu(int position)
{
    MenuPicker picker(position);
    const DWORD elapsed = timed([this] { dll_.click(); });
    EXPECT_TRUE(picker.finish()) << "no menu came up for item " << position;
    return elapsed;
}

bool PlayerSession::render_until(const std::function<bool()>& condition, DWORD timeout_ms,
                                 DWORD* longest_render_ms)
{
    DWORD longest = 0;
    const bool met = wait_until(
        [&] {
            longest = std::max(longest, timed([this] { dll_.render(panel_dc_, frame_.data()); }));
            return condition();
        },
        timeout_ms);
    if (longest_render_ms)
        *longest_render_ms = longest;
    return met;
}
