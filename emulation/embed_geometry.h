// The size and position rules of the embed-window function: what a plug-in's requested
// frame rectangle does to the client size, to its record and to the frame window.
#pragma once

#include <cstdint>

// In left or top: no position is given on that axis (the platform's CW_USEDEFAULT).
constexpr int32_t kPositionMarker = INT32_MIN;

constexpr int32_t kMinimumEmbedWidth = 50;
constexpr int32_t kMinimumEmbedHeight = 20;

constexpr uint32_t kEmbedMoveFlags = 0x0004;   // SWP_NOZORDER
constexpr uint32_t kEmbedResizeFlags = 0x0006; // SWP_NOZORDER | SWP_NOMOVE

struct EmbedRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

struct EmbedPlacement {
    bool accepted;         // false: the rectangle was too small and the current size stays
    int32_t client_width;  // the client size from now on (unchanged when not accepted)
    int32_t client_height;
    EmbedRect rect;        // the record's rectangle after the call
    // The frame window's SetWindowPos, made when a frame exists.
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
    uint32_t flags;
};

// All arithmetic wraps as 32-bit signed values do on the machine, so any rectangle a
// plug-in hands in gives a defined answer.
EmbedPlacement place_embed_window(const EmbedRect& rect, int32_t client_width,
                                  int32_t client_height, int32_t frame_extra_width,
                                  int32_t frame_extra_height);
