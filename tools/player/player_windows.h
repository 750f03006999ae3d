// The player's windows as the wrapper finds them: the visible "TApplication" main window
// with the panel the wrapper paints into, and the hidden "Winamp v1.x" window that
// answers the wrapper's questions and carries the track title.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

struct PanelEvents {
    std::function<void(int width, int height)> resized;
    std::function<void()> clicked;
    std::function<void(HDC)> paint;
};

class PlayerWindows {
public:
    // settings_dir is the answer to the settings-directory request (empty: answer 0, so
    // the wrapper keeps its settings beside the executable).
    PlayerWindows(const std::string& settings_dir, int sample_rate_khz, const std::wstring& title);
    ~PlayerWindows();
    PlayerWindows(const PlayerWindows&) = delete;
    PlayerWindows& operator=(const PlayerWindows&) = delete;

    bool created() const { return app_window_ && panel_ && winamp_window_; }
    HWND panel() const { return panel_; }
    bool close_requested() const { return close_requested_; }
    void set_events(PanelEvents events) { events_ = std::move(events); }
    void set_app_title(const std::wstring& title);
    SIZE panel_size() const;

private:
    static LRESULT CALLBACK app_proc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK panel_proc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK winamp_proc(HWND, UINT, WPARAM, LPARAM);

    std::string settings_dir_;
    int sample_rate_khz_;
    PanelEvents events_;
    bool close_requested_ = false;
    HWND app_window_ = nullptr;
    HWND panel_ = nullptr;
    HWND winamp_window_ = nullptr;
};
