#include "tests/support/menu_picker.h"

#include <cstring>

namespace {

BOOL CALLBACK find_menu(HWND window, LPARAM found)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char name[16] = {};
    if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
        GetClassNameA(window, name, sizeof name) && strcmp(name, "#32768") == 0) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

void press(HWND window, WPARAM key)
{
    PostMessageA(window, WM_KEYDOWN, key, 1);
    PostMessageA(window, WM_KEYUP, key, 0xC0000001);
}

}  // namespace

MenuPicker::MenuPicker(int position, DWORD timeout_ms)
    : thread_([this, position, timeout_ms] { pick(position, timeout_ms); })
{
}

MenuPicker::~MenuPicker()
{
    finish();
}

bool MenuPicker::finish()
{
    if (thread_.joinable())
        thread_.join();
    return picked_;
}

void MenuPicker::pick(int position, DWORD timeout_ms)
{
    const DWORD start = GetTickCount();
    HWND menu = nullptr;
    while (!menu && GetTickCount() - start < timeout_ms) {
        EnumWindows(find_menu, reinterpret_cast<LPARAM>(&menu));
        if (!menu)
            Sleep(2);
    }
    if (!menu)
        return;
    for (int i = 0; i < position; ++i)
        press(menu, VK_DOWN);
    press(menu, VK_RETURN);
    picked_ = true;
}
