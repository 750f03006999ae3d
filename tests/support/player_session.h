// The player's side of a run for end-to-end tests: the test player's windows, a settings
// directory of its own, and the real DLL driven through the object's operations, each
// call timed as the player would feel it.
#pragma once

#include "tests/support/temp_dir.h"
#include "tests/support/test_player.h"
#include "tests/support/wrapper_dll.h"

#include <functional>
#include <string>
#include <vector>

class PlayerSession {
public:
    PlayerSession();
    explicit PlayerSession(const TestPlayer::Options& options);
    ~PlayerSession();
    PlayerSession(const PlayerSession&) = delete;
    PlayerSession& operator=(const PlayerSession&) = delete;

    TestPlayer& player() { return player_; }
    WrapperDll& dll() { return dll_; }
    const TempDir& dir() const { return dir_; }
    std::string ini_path() const { return dir_.file("zeko_vis_winamp.ini"); }

    // Writes the selection that Initialize will read.
    void select_plugin(const std::string& dll_path);

    // Each returns the milliseconds the call kept the calling thread.
    DWORD initialize();
    DWORD finalize();
    // Opens the menu with Click and picks the item at that position.
    DWORD click_menu(int position);

    // Calls Render with a silent frame every few ms, as the player does, until the
    // condition holds or the time runs out. Reports the longest Render call.
    bool render_until(const std::function<bool()>& condition, DWORD timeout_ms,
                      DWORD* longest_render_ms = nullptr);

private:
    TestPlayer player_;
    TempDir dir_;
    WrapperDll dll_;
    HDC panel_dc_ = nullptr;
    std::vector<uint8_t> frame_;
};
