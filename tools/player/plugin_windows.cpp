#include "tools/player/plugin_windows.h"

#include "emulation/emulated_windows.h"

#include <cstring>

namespace {

constexpr char kDialogClass[] = "#32770";
constexpr int kMessageBoxTextId = 0xFFFF;

std::string class_of(HWND window)
{
    char name[64] = {};
    return GetClassNameA(window, name, sizeof name) ? name : "";
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
        found.drawing = GetWindow(found.frame, GW_CHILD);
    if (found.drawing || !found.emulated_main)
        return found;
    // A plug-in that wants no frame makes a visible window of its own on the render thread.
    const DWORD render_thread = GetWindowThreadProcessId(found.emulated_main, nullptr);
    for (HWND window : windows) {
        const std::string name = class_of(window);
        if (GetWindowThreadProcessId(window, nullptr) == render_thread && IsWindowVisible(window) &&
            name != kParentWindowClass && name != kEmbedWindowClass && name != kDialogClass) {
            found.drawing = window;
            break;
        }
    }
    return found;
}

std::vector<std::string> MessageBoxAnswerer::answer_new_boxes()
{
    std::vector<std::string> texts;
    for (HWND window : top_level_windows_of_this_process()) {
        if (class_of(window) != kDialogClass || answered_.count(window))
            continue;
        char text[1024] = {};
        GetDlgItemTextA(window, kMessageBoxTextId, text, sizeof text);
        char title[128] = {};
        GetWindowTextA(window, title, sizeof title);
        // One line per box in the summary: line breaks become spaces, trailing ones go.
        std::string line = std::string(title) + ": " + text;
        for (char& c : line) {
            if (c == '\r' || c == '\n')
                c = ' ';
        }
        line.erase(line.find_last_not_of(' ') + 1);
        texts.push_back(line);
        answered_.insert(window);
        PostMessageA(window, WM_COMMAND, IDOK, 0);
    }
    return texts;
}
