// The emulated main window answers on a thread of its own, but what its procedure does to
// the plug-in's windows (passing its own moves on, placing an announced drawing window,
// the resize cycle) belongs on the thread that runs the plug-in: a cross-thread move or
// send would wait for that thread, which may itself be waiting, inside an entry, for a
// plug-in thread that waits for the main window. The relay is a message-only window of
// the plug-in's thread that carries such work over, waiting for it only a short while.
#pragma once

#include <windows.h>

// Work carried over to the plug-in's thread, with a copy of the message it is about.
struct RelayedCall {
    void (*act)(const RelayedCall& call);
    UINT message = 0;
    WPARAM wparam = 0;
    // Points at position below when the message carried a WINDOWPOS.
    LPARAM lparam = 0;
    WINDOWPOS position = {};
};

// How long the main window's thread waits for the plug-in's thread to take relayed work.
// A thread that is pumping, or waiting in a send of its own, takes it at once; one busy in
// an entry takes it at its next pump, after the wait has given up.
constexpr UINT kRelayWaitMs = 50;

// Made on the thread that calls it, which becomes the plug-in's thread; a thread that has
// the relay already keeps it. False when the window could not be made: work then runs on
// whatever thread asks for it, as if no other thread were involved.
bool open_plugin_thread_relay();
// On the plug-in's thread; after a forced end of that thread only forgets its window.
void close_plugin_thread_relay();

// True on the plug-in's thread, and everywhere while no relay is open.
bool on_plugin_thread();

// Runs call.act on the plug-in's thread: at once when called there, else relayed. A
// message that points at a WINDOWPOS passes a copy of it.
void run_on_plugin_thread(RelayedCall call);
