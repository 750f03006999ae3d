// Waiting for recorded events without fixed sleeps: the condition is tested while the
// calling thread keeps pumping its messages (the wrapper's threads send to windows of it).
#pragma once

#include <windows.h>

#include <functional>

// Pumps the calling thread's queue once.
void pump_messages();

// Pumps and tests until the condition holds or timeout_ms pass. Returns the condition.
bool wait_until(const std::function<bool()>& condition, DWORD timeout_ms);
