// Which of the wrapper's windows were ever made in this process. A plug-in whose init fails
// at once makes and destroys them between two looks of a poll, so each creation is noted
// by an event hook that runs on the creating thread while the window exists.
#pragma once

#include <windows.h>

struct WindowsMade {
    bool emulated_main = false;
    // Made only after a module's first init attempt failed, before its second.
    bool frame = false;
};

class WindowCreationWatch {
public:
    WindowCreationWatch();
    ~WindowCreationWatch();
    WindowCreationWatch(const WindowCreationWatch&) = delete;
    WindowCreationWatch& operator=(const WindowCreationWatch&) = delete;

    bool watching() const { return hook_ != nullptr; }
    WindowsMade made() const;

private:
    HWINEVENTHOOK hook_ = nullptr;
};
