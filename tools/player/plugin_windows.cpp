#include "tools/player/plugin_windows.h"

#include "emulation/emulated_windows.h"

namespace {

constexpr char kDialogClass[] = "#32770";
constexpr int kMessageBoxTextId = 0xFFFF;

std::string class_of(HWND window)
{
    char name[64] = {};
    return GetClassNameA(window, name, sizeof name) ? name : "";
}

// Read without a message to the window, whose thread may be hung in the plug-in.
std::string text_of(HWND window)
{
    wchar_t wide[1024] = {};
    const int length = InternalGetWindowText(window, wide, 1024);
    char text[2048] = {};
    if (length > 0)
        WideCharToMultiByte(CP_ACP, 0, wide, length, text, sizeof text - 1, nullptr, nullptr);
    return text;
}

bool is_dialog(HWND window)
{
    return class_of(window) == kDialogClass;
}

BOOL CALLBACK collect_if_ours(HWND window, LPARAM list)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId())
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

std::vector<HWND> top_level_windows_of_this_process()
{
    std::vector<HWND> windows;
    EnumWindows(collect_if_ours, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

HWND first_child_not_a_dialog(HWND parent)
{
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!is_dialog(child))
            return child;
    }
    return nullptr;
}

// One line per dialog in the summary: line breaks become spaces, trailing ones go.
std::string one_line(std::string text)
{
    for (char& c : text) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

}  // namespace

PluginWindows find_plugin_windows()
{
    PluginWindows found;
    const std::vector<HWND> windows = top_level_windows_of_this_process();
    for (HWND window : windows) {
        const std::string name = class_of(window);
        if (name == kParentWindowClass)
            found.emulated_main = window;
        else if (name == kEmbedWindowClass)
            found.frame = window;
    }
    if (found.frame)
        found.drawing = first_child_not_a_dialog(found.frame);
    if (found.drawing || !found.emulated_main)
        return found;
    // A plug-in that wants no frame makes a visible window of its own, on the render thread
    // or on a thread of its own: any thread but the player's.
    const DWORD player_thread = GetCurrentThreadId();
    for (HWND window : windows) {
        const std::string name = class_of(window);
        if (GetWindowThreadProcessId(window, nullptr) != player_thread && IsWindowVisible(window) &&
            name != kParentWindowClass && name != kEmbedWindowClass && name != kDialogClass) {
            found.drawing = window;
            break;
        }
    }
    return found;
}

bool is_message_box(HWND dialog)
{
    if (!is_dialog(dialog) || !GetDlgItem(dialog, kMessageBoxTextId))
        return false;
    int texts = 0;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const std::string name = class_of(child);
        if (name == "Button")
            continue;
        // The icon is a static without text.
        if (name != "Static" || (GetDlgCtrlID(child) != kMessageBoxTextId && !text_of(child).empty()))
            return false;
        if (GetDlgCtrlID(child) == kMessageBoxTextId)
            ++texts;
    }
    return texts == 1;
}

DialogsSeen DialogWatcher::look()
{
    DialogsSeen seen;
    for (HWND window : top_level_windows_of_this_process()) {
        // A dialog is looked at once it shows, when its controls are all there.
        if (!is_dialog(window) || !IsWindowVisible(window) || seen_.count(window))
            continue;
        seen_.insert(window);
        if (!is_message_box(window)) {
            seen.dialogs.push_back(one_line(text_of(window)));
            continue;
        }
        seen.boxes.push_back(
            one_line(text_of(window) + ": " + text_of(GetDlgItem(window, kMessageBoxTextId))));
        PostMessageA(window, WM_COMMAND, IDOK, 0);
    }
    return seen;
}
