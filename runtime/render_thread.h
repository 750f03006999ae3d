// The thread that runs the Winamp module: created and stopped from the player's thread,
// it owns the emulated windows and the loaded plug-in for the length of one run.
#pragma once

#include <cstdint>

// What a run does with the module.
enum RenderMode : int32_t {
    kRenderRun = 0,
    kRenderConfigureOnly = 1,
    kRenderConfigureThenRun = 2,
};

// Starts a run unless nothing is selected or a thread is running.
void start_render_thread(int32_t mode);

// Asks the thread to end, waits up to 5000 ms, then ends it by force and tears the run
// down on the calling thread. Also collects a thread that has ended by itself.
void stop_render_thread();

// 1 while the render thread exists and has not ended.
int32_t is_render_thread_running();

// What pump_thread_messages ended on.
enum PumpResult : int32_t {
    kPumpQueueEmpty = 0,
    kPumpTookQuit = 1,
    // A window procedure raised an exception while a message was handled; the messages
    // behind it stay queued.
    kPumpFaulted = 2,
};

// Takes every queued message of the calling thread, until the queue is empty, a WM_QUIT
// is taken or a window procedure faults, on a queued message or on one that another
// thread sent.
int32_t pump_thread_messages();

// Ends a run: the module quits, the DLL is freed, both windows and classes go.
void teardown_runtime();
