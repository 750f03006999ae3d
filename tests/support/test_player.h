// The test player: owns the "TApplication" window and, optionally, the "Winamp v1.x"
// window that the wrapper talks to, answers their requests from values a test sets and
// records every message that reaches the Winamp window.
#pragma once

#include <windows.h>

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <vector>

struct RecordedMessage {
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
    DWORD thread_id;
    DWORD tick;
};

class TestPlayer {
public:
    struct Options {
        bool winamp_window = true;
        // The Winamp window lives on a thread of its own, which a test can make hang.
        bool winamp_on_own_thread = false;
        bool topmost = false;
    };

    TestPlayer();
    explicit TestPlayer(const Options& options);
    ~TestPlayer();
    TestPlayer(const TestPlayer&) = delete;
    TestPlayer& operator=(const TestPlayer&) = delete;

    HWND app_window() const { return app_window_; }
    HWND winamp_window() const { return winamp_window_; }

    // The answer to WM_USER 335: a pointer to this text, or 0 when null.
    void set_settings_answer(const char* text);
    // The answer to WM_USER 126, in kilohertz.
    void set_sample_rate_khz(int khz) { sample_rate_khz_ = khz; }
    // The answer to any other WM_USER code and to WM_COMMAND.
    void set_answer(LPARAM code, LRESULT answer);
    void set_command_answer(LRESULT answer) { command_answer_ = answer; }
    void set_title(const wchar_t* title);

    // Makes the Winamp window's own thread stop pumping until resume_winamp_thread.
    void hang_winamp_thread();
    // True once that thread has stopped, within the time-out.
    bool wait_until_winamp_thread_hangs(DWORD timeout_ms);
    void resume_winamp_thread();

    std::vector<RecordedMessage> messages() const;
    size_t count_user_requests(LPARAM code) const;
    void clear_messages();

private:
    static LRESULT CALLBACK app_proc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK winamp_proc(HWND, UINT, WPARAM, LPARAM);
    static DWORD WINAPI winamp_thread_main(LPVOID);
    LRESULT handle_winamp(HWND, UINT, WPARAM, LPARAM);
    void create_winamp_window();

    Options options_;
    HWND app_window_ = nullptr;
    HWND winamp_window_ = nullptr;
    HANDLE winamp_thread_ = nullptr;
    HANDLE winamp_ready_ = nullptr;
    HANDLE hang_release_ = nullptr;
    HANDLE hung_ = nullptr;
    std::atomic<bool> hanging_{false};

    std::string settings_answer_;
    bool settings_answer_set_ = false;
    std::atomic<int> sample_rate_khz_{44};
    std::atomic<LRESULT> command_answer_{0};

    mutable std::mutex mutex_;
    std::map<LPARAM, LRESULT> answers_;
    std::vector<RecordedMessage> messages_;
};
