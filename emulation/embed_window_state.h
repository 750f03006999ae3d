// The record a plug-in hands to the embed-window function. It lives in the plug-in's
// memory; the wrapper only reads it and writes the fields below.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

struct EmbedWindowState {
    HWND window;
    int32_t reserved;
    RECT window_rect;
};
static_assert(offsetof(EmbedWindowState, window) == 0, "embed record layout");
static_assert(offsetof(EmbedWindowState, window_rect) == 8, "embed record layout");
static_assert(sizeof(EmbedWindowState) == 24, "embed record size");
