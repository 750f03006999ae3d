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

// Message boxes nobody will answer in a timed, unattended run: each new one's text is
// returned once and the box is closed with OK.
class MessageBoxAnswerer {
public:
    std::vector<std::string> answer_new_boxes();

private:
    std::set<HWND> answered_;
};
