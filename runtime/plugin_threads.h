// The plug-in's own threads: which threads they are, whether one of them faulted, and
// the rule that the plug-in's code is never freed while one of them still runs in it.
//
// A thread counts as the plug-in's when it began while the plug-in was loading, loaded or
// kept, and either its start address lies in a module that came with the plug-in (its own
// image or a module outside the system's folder that its load brought into the process),
// or it was started through a module of the system's (the C runtime's thread functions, which plug-ins use as often as
// CreateThread) and the plug-in's code is on its stack: the instruction pointer, or a
// return address right after a call instruction in one of those modules. The player's own
// threads start in the player's modules or run the player's code.
#pragma once

#include <windows.h>

// Called as each new thread begins (the wrapper's DllMain, DLL_THREAD_ATTACH), on that
// thread: while a plug-in is loading, loaded or kept, the thread is noted.
void note_thread_begins();

// Before the plug-in's library is loaded: from now, new threads are noted, faults on the
// plug-in's threads are taken by the wrapper's filter, and no fault is pending.
void begin_plugin_load();

// After a load that gave a handle: the library and the modules its load brought are the
// plug-in's.
void note_plugin_library(HMODULE library);

// Whether the calling thread, which faulted in context, is one of the plug-in's. Safe on
// a used-up stack.
bool is_plugin_thread(const CONTEXT* context);

// Set when a fault on one of the plug-in's threads ended that thread; cleared by the
// next begin_plugin_load. The render loop ends the run on it.
bool plugin_thread_faulted();
void note_plugin_thread_fault();

// Frees the library once the plug-in's threads have ended, giving them up to 1 s. When one
// still runs, the library stays loaded (a later load of it gets the same module) and is
// freed by a later release that finds them all ended. Then the filter goes too.
void release_plugin_library(HMODULE library);

// Withdraws the filter when the wrapper itself is unloaded.
void forget_plugin_threads_at_unload();
