#include "tools/player/window_creation_watch.h"

#include "emulation/emulated_windows.h"

#include <atomic>
#include <cstring>

namespace {

std::atomic<bool> g_main_made{false};
std::atomic<bool> g_frame_made{false};

// Runs inside CreateWindowEx on whatever thread made the window: only a class name is read.
void CALLBACK window_created(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD,
                            DWORD)
{
    if (object != OBJID_WINDOW || child != CHILDID_SELF)
        return;
    char name[64] = {};
    if (!GetClassNameA(window, name, sizeof name))
        return;
    if (strcmp(name, kParentWindowClass) == 0)
        g_main_made = true;
    else if (strcmp(name, kEmbedWindowClass) == 0)
        g_frame_made = true;
}

}  // namespace

WindowCreationWatch::WindowCreationWatch()
{
    g_main_made = false;
    g_frame_made = false;
    hook_ = SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_CREATE, GetModuleHandleA(nullptr),
                            window_created, GetCurrentProcessId(), 0, WINEVENT_INCONTEXT);
}

WindowCreationWatch::~WindowCreationWatch()
{
    if (hook_)
        UnhookWinEvent(hook_);
}

WindowsMade WindowCreationWatch::made() const
{
    WindowsMade made;
    made.emulated_main = g_main_made;
    made.frame = g_frame_made;
    return made;
}
