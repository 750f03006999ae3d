// The picture a module draws into before it reaches the screen: a 32-bit DIB section in a
// memory device context, so a frame appears whole (no flicker) and can be shown again at
// any time (WM_PAINT, WM_PRINTCLIENT) without drawing it anew.
#pragma once

#include <windows.h>

class BackBuffer {
public:
    BackBuffer() = default;
    ~BackBuffer();
    BackBuffer(const BackBuffer&) = delete;
    BackBuffer& operator=(const BackBuffer&) = delete;

    // Makes a width x height picture filled with `colour`; false, with no picture, when
    // the size is empty or the system refuses the bitmap.
    bool resize(int width, int height, COLORREF colour);
    void release();

    // 0 while there is no picture.
    HDC dc() const { return dc_; }
    int width() const { return width_; }
    int height() const { return height_; }

    // Copies the picture to (0, 0) of `target`; nothing while there is no picture.
    void copy_to(HDC target) const;

private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ original_bitmap_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};
