// Waiting for a thread while the caller's own windows keep answering what other threads
// send them: the thread waited for may be sending to one of them on its way out.
#pragma once

#include <windows.h>

// WAIT_OBJECT_0 when the object was signalled within the time, WAIT_TIMEOUT, or the
// failure of the wait.
DWORD wait_answering_sends(HANDLE object, DWORD timeout_ms);
