// The two hidden windows that stand in for Winamp towards a plug-in: the emulated main
// window (parent_window) and the frame a plug-in may embed its drawing window in
// (embed_window). Both share one window procedure.
#pragma once

#include <windows.h>

#include <cstdint>

constexpr char kParentWindowClass[] = "KorvelVisPlugin";
constexpr char kEmbedWindowClass[] = "KorvelVisPluginEmbed";
constexpr char kEmbedWindowTitle[] = "Korvel Winamp Wrapper";

// The result of a creation routine whose window could not be made.
constexpr int32_t kWindowCreationFailed = -101;

// Registers the main window's class afresh and creates parent_window on a thread of its
// own (see main_window_thread.h); the calling thread becomes the plug-in's thread. 0 or -101.
int32_t create_parent_window();

// Destroys parent_window, ends its thread within a short bound and closes the relay to the
// plug-in's thread; parent_window is 0 from the start of the call.
void destroy_parent_window();

// Registers the frame's class afresh, creates embed_window and measures its client size
// and its border and caption; 0 or -101.
int32_t create_embed_window();

LRESULT CALLBACK emulated_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
