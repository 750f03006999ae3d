#include "tests/support/message_box_watcher.h"

#include <cstring>

namespace {

constexpr int kMessageBoxTextControl = 0xFFFF;

BOOL CALLBACK find_box(HWND window, LPARAM found)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char name[16] = {};
    if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
        GetClassNameA(window, name, sizeof name) && strcmp(name, "#32770") == 0) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

MessageBoxWatcher::MessageBoxWatcher(DWORD timeout_ms)
    : thread_([this, timeout_ms] { watch(timeout_ms); })
{
}

MessageBoxWatcher::~MessageBoxWatcher()
{
    finish();
}

bool MessageBoxWatcher::finish()
{
    if (thread_.joinable())
        thread_.join();
    return seen_;
}

void MessageBoxWatcher::watch(DWORD timeout_ms)
{
    const DWORD start = GetTickCount();
    HWND box = nullptr;
    while (!box && GetTickCount() - start < timeout_ms) {
        EnumWindows(find_box, reinterpret_cast<LPARAM>(&box));
        if (!box)
            Sleep(5);
    }
    if (!box)
        return;
    char buffer[4096] = {};
    GetDlgItemTextA(box, kMessageBoxTextControl, buffer, sizeof buffer);
    text_ = buffer;
    GetWindowTextA(box, buffer, sizeof buffer);
    caption_ = buffer;
    owner_ = GetWindow(box, GW_OWNER);
    seen_ = true;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}
