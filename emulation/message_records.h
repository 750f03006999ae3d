// Window messages whose lParam is the address of a record or a text: the window procedure,
// the plug-in's window it passes them on to and default processing all read (some write)
// through it. A plug-in can send such a message with any address.
#pragma once

#include <windows.h>

// False when the message carries a record or text that lies in memory the receivers may
// not read, or write where they write; true for a usable one and for every other message.
bool message_record_usable(UINT message, WPARAM wparam, LPARAM lparam);
