#include "runtime/thread_dialogs.h"

#include <cstring>

namespace {

// The class of every dialog made from a standard template, message boxes included.
constexpr char kDialogClass[] = "#32770";

BOOL CALLBACK cancel_if_dialog(HWND window, LPARAM)
{
    char class_name[sizeof kDialogClass + 1] = {};
    if (GetClassNameA(window, class_name, sizeof class_name) &&
        std::strcmp(class_name, kDialogClass) == 0)
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, IDCANCEL)));
    return TRUE;
}

}  // namespace

void cancel_thread_dialogs(DWORD thread_id)
{
    if (thread_id)
        EnumThreadWindows(thread_id, cancel_if_dialog, 0);
}
