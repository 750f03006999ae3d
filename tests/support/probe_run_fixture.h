// A fixture for tests that run vis_probe on the render thread, driven from the player's
// side: the test player's windows, the audio lock, the menu and the probe as the selected
// plug-in, all as Initialize leaves them.
#pragma once

#include "host/command_menu.h"
#include "host/path_text.h"
#include "host/wrapper_state.h"
#include "runtime/render_thread.h"
#include "tests/support/probe_plugin.h"
#include "tests/support/test_player.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

class ProbeRunFixture : public ::testing::Test {
protected:
    ProbeRunFixture() = default;
    explicit ProbeRunFixture(const TestPlayer::Options& options) : player_(options) {}

    static TestPlayer::Options player_options(bool winamp_window, bool winamp_on_own_thread)
    {
        TestPlayer::Options options;
        options.winamp_window = winamp_window;
        options.winamp_on_own_thread = winamp_on_own_thread;
        return options;
    }

    void SetUp() override
    {
        g_state.host_app_window = player_.app_window();
        g_state.host_winamp_window = player_.winamp_window();
        InitializeCriticalSection(&g_state.audio_lock);
        g_state.audio_lock_ready = true;
        ASSERT_TRUE(copy_path(g_state.plugin_path, kPathCapacity, ProbePlugin::path().c_str()));
        g_state.module_index = 0;
        create_command_menu();
    }

    void TearDown() override
    {
        stop_render_thread();
        destroy_command_menu();
        DeleteCriticalSection(&g_state.audio_lock);
        g_state.audio_lock_ready = false;
        g_state.plugin_path[0] = '\0';
        g_state.host_app_window = nullptr;
        g_state.host_winamp_window = nullptr;
    }

    size_t count(ProbeEntry entry) const { return probe_.calls(entry).size(); }

    bool wait_for_calls(ProbeEntry entry, size_t wanted, DWORD timeout_ms = 20000)
    {
        return wait_until([&] { return count(entry) >= wanted; }, timeout_ms);
    }

    bool wait_for_requests(DWORD timeout_ms = 20000)
    {
        return wait_until([&] { return probe_.control().requests_done != 0; }, timeout_ms);
    }

    // Asks the probe to send these Winamp codes from the first call of the entry.
    void send_from(ProbeEntry entry, std::initializer_list<std::pair<WPARAM, LPARAM>> requests)
    {
        ProbeControl& control = probe_.control();
        control.requests_from = entry;
        control.request_count = 0;
        for (const auto& request : requests) {
            control.request_wparams[control.request_count] = request.first;
            control.request_codes[control.request_count] = request.second;
            ++control.request_count;
        }
    }

    TestPlayer player_;
    ProbePlugin probe_;
};
