// Answers the next message box of this process from a helper thread, as a user would:
// reads its caption, text and owner, then presses OK.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

class MessageBoxWatcher {
public:
    explicit MessageBoxWatcher(DWORD timeout_ms = 60000);
    ~MessageBoxWatcher();
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

    // Waits for the helper thread; true when a box was seen and closed.
    bool finish();
    const std::string& text() const { return text_; }
    const std::string& caption() const { return caption_; }
    HWND owner() const { return owner_; }

private:
    void watch(DWORD timeout_ms);

    std::thread thread_;
    std::atomic<bool> seen_{false};
    std::string text_;
    std::string caption_;
    HWND owner_ = nullptr;
};
