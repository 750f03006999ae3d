// Drives the modal UI of this process from a helper thread, as a user would: the popup
// menu by posted keys, the file-open dialog by its file-name box, message boxes by OK.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The positions of the menu's items, separators not counted.
enum MenuItem { kMenuStart, kMenuStop, kMenuConfigure, kMenuLoad, kMenuUnload };

// The visible popup menu of this process, or null after the time-out.
HWND wait_for_popup_menu(DWORD timeout_ms);
// Whether each item of the open menu is enabled, separators left out.
std::vector<bool> enabled_menu_items(HWND popup);
// Moves down to the item and presses Enter.
void pick_menu_item(HWND popup, MenuItem item);
void dismiss_menu(HWND popup);

// The visible file-open dialog of this process, or null after the time-out.
HWND wait_for_open_dialog(DWORD timeout_ms);
// Types the name into the dialog's file-name box and presses OK.
void choose_file(HWND dialog, const std::string& name);
void cancel_dialog(HWND dialog);

// Waits for a message box of this process, closes it with OK and returns its text; empty
// when none came.
std::string close_message_box(DWORD timeout_ms);
