// A player whose "Winamp v1.x" window stops answering while a plug-in runs: every request
// that reaches it costs one time-out of about 300 ms, and the run goes on.
#include "tests/support/player_session.h"
#include "tests/support/probe_plugin.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

namespace {

constexpr DWORD kEventTimeoutMs = 60000;
constexpr DWORD kPlayerHeldLimitMs = 9000;
// One 300 ms time-out plus margin for a loaded two-core machine.
constexpr DWORD kOneTimeOutLimitMs = 1000;
// Codes the emulated window does not answer itself and passes on to the player.
constexpr LPARAM kOutputTimeRequest = 105;
constexpr LPARAM kPlaylistPositionRequest = 125;
constexpr WPARAM kNextTrackCommand = 40048;

// The longest gap between a render call and the one before it, from the index first on.
int32_t longest_gap(const std::vector<ProbeCall>& renders, size_t first)
{
    int32_t longest = 0;
    for (size_t i = std::max<size_t>(first, 1); i < renders.size(); ++i)
        longest = std::max(longest, renders[i].clock - renders[i - 1].clock);
    return longest;
}

TEST(HungPlayer, RequestsCommandsAndSynchronisationEachCostOneTimeOutAndTheRunGoesOn)
{
    TestPlayer::Options options;
    options.winamp_on_own_thread = true;
    PlayerSession session(options);
    ProbePlugin probe;
    ProbeControl& control = probe.control();
    control.frame_delay = 10;
    session.player().set_answer(kOutputTimeRequest, 1234);
    session.select_plugin(ProbePlugin::path());

    EXPECT_LE(session.initialize(), kPlayerHeldLimitMs);
    ASSERT_TRUE(session.render_until([&] { return probe.calls(kProbeRender).size() >= 3; },
                                     kEventTimeoutMs));

    session.player().hang_winamp_thread();
    ASSERT_TRUE(session.player().wait_until_winamp_thread_hangs(kEventTimeoutMs));
    control.request_codes[0] = kOutputTimeRequest;
    control.request_codes[1] = kPlaylistPositionRequest;
    control.request_messages[2] = WM_COMMAND;
    control.request_wparams[2] = kNextTrackCommand;
    control.request_count = 3;
    control.requests_from = kProbeRender;

    DWORD longest_render_call = 0;
    ASSERT_TRUE(session.render_until([&] { return control.requests_done != 0; }, kEventTimeoutMs,
                                     &longest_render_call));
    // Long enough for several synchronisation passes, which come about every 333 ms; the
    // gaps are counted from the render after the one that made the requests.
    const size_t first = probe.calls(kProbeRender).size();
    DWORD longest_later_render_call = 0;
    ASSERT_TRUE(session.render_until(
        [&] { return probe.calls(kProbeRender).size() >= first + 40; }, kEventTimeoutMs,
        &longest_later_render_call));
    longest_render_call = std::max(longest_render_call, longest_later_render_call);
    const std::vector<ProbeCall> renders = probe.calls(kProbeRender);
    const int32_t gap = longest_gap(renders, first + 1);
    const int32_t span = renders.back().clock - renders[first].clock;

    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(control.request_answers[i], -1) << i;
        EXPECT_LE(control.request_ms[i], kOneTimeOutLimitMs) << i;
    }
    EXPECT_LE(gap, static_cast<int32_t>(kOneTimeOutLimitMs + control.frame_delay));
    EXPECT_LE(longest_render_call, kOneTimeOutLimitMs);
    printf("[ measured ] while hung: requests took %lu, %lu, %lu ms; longest gap between "
           "renders %d ms over %d renders in %d ms; longest Render %lu ms\n",
           control.request_ms[0], control.request_ms[1], control.request_ms[2], gap,
           static_cast<int>(renders.size() - first), span, longest_render_call);

    session.player().resume_winamp_thread();
    EXPECT_LE(session.finalize(), kPlayerHeldLimitMs);
    EXPECT_EQ(probe.calls(kProbeQuit).size(), 1u);
}

}  // namespace
