#include "tools/player/dib_surface.h"

#include <algorithm>

DibSurface::~DibSurface()
{
    release();
}

void DibSurface::release()
{
    if (dc_ && original_bitmap_)
        SelectObject(dc_, original_bitmap_);
    if (bitmap_)
        DeleteObject(bitmap_);
    if (dc_)
        DeleteDC(dc_);
    dc_ = nullptr;
    bitmap_ = nullptr;
    original_bitmap_ = nullptr;
    bits_ = nullptr;
    width_ = height_ = 0;
}

bool DibSurface::create(int width, int height, uint32_t fill)
{
    release();
    if (width <= 0 || height <= 0)
        return false;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // rows from the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc_ = CreateCompatibleDC(nullptr);
    if (!dc_)
        return false;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap_) {
        release();
        return false;
    }
    original_bitmap_ = SelectObject(dc_, bitmap_);
    bits_ = static_cast<uint32_t*>(bits);
    width_ = width;
    height_ = height;
    std::fill_n(bits_, static_cast<size_t>(width) * height, fill);
    return true;
}

Image DibSurface::image() const
{
    if (!bits_)
        return Image();
    GdiFlush();
    Image image(width_, height_, 0);
    // A DIB pixel is blue, green, red, unused in memory: 0x00RRGGBB once the top byte goes.
    for (size_t i = 0; i < image.pixels.size(); ++i)
        image.pixels[i] = bits_[i] & 0xFFFFFF;
    return image;
}
