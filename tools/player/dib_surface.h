// A memory device context drawing into a top-down 32-bit DIB section whose pixels can be
// read back: what the player paints and captures into.
#pragma once

#include "tools/player/image.h"

#include <windows.h>

class DibSurface {
public:
    DibSurface() = default;
    ~DibSurface();
    DibSurface(const DibSurface&) = delete;
    DibSurface& operator=(const DibSurface&) = delete;

    // Replaces the bitmap with one of that size filled with fill (0x00RRGGBB); false, and
    // no bitmap, when it could not be made.
    bool create(int width, int height, uint32_t fill);
    bool ready() const { return bits_ != nullptr; }
    HDC dc() const { return dc_; }
    int width() const { return width_; }
    int height() const { return height_; }
    Image image() const;

private:
    void release();

    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ original_bitmap_ = nullptr;
    uint32_t* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};
