// vis_probe's fuzzing mode: from its init, its config and render entries, its drawing
// window's procedure and a thread of its own that runs from init until quit, the plug-in
// sends whatever a broken plug-in could, drawn from a seeded
// generator. Every first-chance fault on the render thread is recorded with the action that
// was running, whoever then caught it. A test reaches the block through probe_fuzz().
#pragma once

#include "runtime/winamp_vis.h"

#include <windows.h>

#include <cstdint>

enum ProbeFuzzKind : int32_t {
    kFuzzWinampMessage,  // WM_USER to the main window or the frame
    kFuzzDispatch,       // a service object's Dispatch
    kFuzzEmbed,          // the embed-window function
    kFuzzRandom,         // the random-number function
    kFuzzWindowMessage,  // moves, sizes, closes and the like to our windows
    kFuzzModuleValues,   // the plug-in's own module record: name, channel counts, delay
    kFuzzKindCount,
};

constexpr int kFuzzMaxFaults = 32;
constexpr int kFuzzActionText = 120;

// One place that faulted, with the first action that made it fault.
struct ProbeFuzzFault {
    int32_t kind;  // of that action; kFuzzKindCount when it came between actions
    DWORD code;
    uintptr_t address;
    char module[32];  // file name of the module the address lies in, "?" for none
    uint32_t offset;  // of the address from that module's base
    char action[kFuzzActionText];
};

struct ProbeFuzzControl {
    int32_t enabled = 0;
    uint32_t seed = 1;
    int32_t actions_per_init = 24;
    int32_t actions_per_render = 6;
    // One action from every n-th message the drawing window receives.
    int32_t window_message_stride = 8;
    // WM_CLOSE, WM_DESTROY of our windows and WM_QUIT end a run's useful life: allowed
    // only at these odds (one in n actions), 0 for never.
    int32_t ending_odds = 0;

    volatile LONG counts[kFuzzKindCount] = {};
    // Quit entries and the thread of the last: the probe's call log fills up in a long run.
    volatile LONG quits = 0;
    DWORD quit_thread = 0;
    // Every fault counted by the kind of action, the last slot for none; each faulting
    // address kept once, up to kFuzzMaxFaults of them.
    volatile LONG faults_by_kind[kFuzzKindCount + 1] = {};
    volatile LONG fault_places = 0;
    ProbeFuzzFault faults[kFuzzMaxFaults] = {};
};

using ProbeFuzzFunction = ProbeFuzzControl*(__cdecl*)();

// The hooks vis_probe calls; each does nothing unless fuzzing is enabled.
void fuzz_from_init(HWND winamp, HWND frame, HWND drawing);
void fuzz_from_render(WinampVisModule* module, HWND frame, HWND drawing);
void fuzz_from_config(HWND winamp);
// From the drawing window's procedure, aimed at the windows the last hook was given.
void fuzz_from_window_message();
// Ends fuzzing of a run: what it handed out is forgotten, protected memory given back.
void fuzz_quit();
// Back to the first state, the observer removed, as if freshly loaded.
void fuzz_reset();
