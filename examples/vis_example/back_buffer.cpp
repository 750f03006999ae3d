#include "back_buffer.h"

BackBuffer::~BackBuffer()
{
    release();
}

bool BackBuffer::resize(int width, int height, COLORREF colour)
{
    release();
    if (width <= 0 || height <= 0)
        return false;

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down, as the window is
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    // A DIB section does not depend on the screen's format, and GDI draws into it the same
    // way on every display.
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    dc_ = CreateCompatibleDC(nullptr);
    if (!bitmap_ || !dc_) {
        release();
        return false;
    }
    original_bitmap_ = SelectObject(dc_, bitmap_);
    width_ = width;
    height_ = height;

    const RECT all = {0, 0, width, height};
    SetBkColor(dc_, colour);
    ExtTextOutA(dc_, 0, 0, ETO_OPAQUE, &all, nullptr, 0, nullptr);  // fills without a brush
    return true;
}

void BackBuffer::release()
{
    if (dc_) {
        // A bitmap is deleted only once no device context holds it.
        if (original_bitmap_)
            SelectObject(dc_, original_bitmap_);
        DeleteDC(dc_);
    }
    if (bitmap_)
        DeleteObject(bitmap_);
    dc_ = nullptr;
    bitmap_ = nullptr;
    original_bitmap_ = nullptr;
    width_ = 0;
    height_ = 0;
}

void BackBuffer::copy_to(HDC target) const
{
    if (dc_)
        BitBlt(target, 0, 0, width_, height_, dc_, 0, 0, SRCCOPY);
}
