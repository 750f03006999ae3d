// The windows the wrapper and its Winamp plug-in have made in this process, found from
// outside the way a person would: by class and by thread.
#pragma once

#include <windows.h>

#include <set>
#include <string>
#include <vector>

struct PluginWindows {
    HWND emulated_main = nullptr;  // exists while the wrapper's render thread runs
    HWND frame = nullptr;          // the frame it gives a plug-in that asks for one
    HWND drawing = nullptr;        // the plug-in's own window: in the frame, or top-level
};

PluginWindows find_plugin_windows();

// A dialog whose only text is the static control 0xFFFF and whose other controls are
// buttons (and the icon): what MessageBox makes. Any other dialog is the plug-in's own.
bool is_message_box(HWND dialog);

struct DialogsSeen {
    std::vector<std::string> boxes;    // "title: text" of each box answered
    std::vector<std::string> dialogs;  // titles of the other dialogs, left open
};

// Message boxes nobody will answer in a timed, unattended run are closed with OK; a
// plug-in's own dialogs are left as they are. Each is reported once.
class DialogWatcher {
public:
    DialogsSeen look();

private:
    std::set<HWND> seen_;
};
