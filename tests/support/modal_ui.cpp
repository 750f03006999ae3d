#include "tests/support/modal_ui.h"

#include <cstring>

namespace {

constexpr UINT kMenuGetHandle = 0x01E1;  // MN_GETHMENU
constexpr int kFileNameBox = 1148;
constexpr int kMessageBoxText = 0xFFFF;

struct WindowSearch {
    const char* class_name;
    bool (*wanted)(HWND);
    HWND found;
};

BOOL CALLBACK match_window(HWND window, LPARAM search_address)
{
    auto* search = reinterpret_cast<WindowSearch*>(search_address);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char name[16] = {};
    if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
        GetClassNameA(window, name, sizeof name) && strcmp(name, search->class_name) == 0 &&
        search->wanted(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND wait_for_window(const char* class_name, bool (*wanted)(HWND), DWORD timeout_ms)
{
    const DWORD start = GetTickCount();
    for (;;) {
        WindowSearch search = {class_name, wanted, nullptr};
        EnumWindows(match_window, reinterpret_cast<LPARAM>(&search));
        if (search.found || GetTickCount() - start >= timeout_ms)
            return search.found;
        Sleep(5);
    }
}

bool any_window(HWND)
{
    return true;
}

bool is_file_dialog(HWND dialog)
{
    return GetDlgItem(dialog, kFileNameBox) != nullptr;
}

bool is_message_box(HWND dialog)
{
    return !is_file_dialog(dialog) && GetDlgItem(dialog, kMessageBoxText) != nullptr;
}

void post_key(HWND window, WPARAM key)
{
    PostMessageA(window, WM_KEYDOWN, key, 1);
    PostMessageA(window, WM_KEYUP, key, 0xC0000001);
}

}  // namespace

HWND wait_for_popup_menu(DWORD timeout_ms)
{
    return wait_for_window("#32768", any_window, timeout_ms);
}

std::vector<bool> enabled_menu_items(HWND popup)
{
    std::vector<bool> enabled;
    HMENU menu = reinterpret_cast<HMENU>(SendMessageA(popup, kMenuGetHandle, 0, 0));
    const int count = menu ? GetMenuItemCount(menu) : 0;
    for (int position = 0; position < count; ++position) {
        const UINT state = GetMenuState(menu, position, MF_BYPOSITION);
        if (!(state & MF_SEPARATOR))
            enabled.push_back(!(state & (MF_GRAYED | MF_DISABLED)));
    }
    return enabled;
}

void pick_menu_item(HWND popup, MenuItem item)
{
    // The first press selects the first item; separators are skipped.
    for (int press = 0; press <= item; ++press)
        post_key(popup, VK_DOWN);
    post_key(popup, VK_RETURN);
}

void dismiss_menu(HWND popup)
{
    post_key(popup, VK_ESCAPE);
}

HWND wait_for_open_dialog(DWORD timeout_ms)
{
    return wait_for_window("#32770", is_file_dialog, timeout_ms);
}

void choose_file(HWND dialog, const std::string& name)
{
    SetDlgItemTextA(dialog, kFileNameBox, name.c_str());
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

void cancel_dialog(HWND dialog)
{
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

std::string close_message_box(DWORD timeout_ms)
{
    HWND box = wait_for_window("#32770", is_message_box, timeout_ms);
    if (!box)
        return std::string();
    char text[4096] = {};
    GetDlgItemTextA(box, kMessageBoxText, text, sizeof text);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    return text;
}
