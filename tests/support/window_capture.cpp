#include "tests/support/window_capture.h"

#include <algorithm>

size_t WindowCapture::count(uint32_t rgb, int top, int bottom) const
{
    const auto first = pixels.begin() + static_cast<ptrdiff_t>(top) * width;
    const auto last = pixels.begin() + static_cast<ptrdiff_t>(bottom) * width;
    return static_cast<size_t>(std::count(first, last, rgb));
}

WindowCapture capture_client(HWND window)
{
    WindowCapture capture;
    RECT client;
    if (!GetClientRect(window, &client) || client.right <= 0 || client.bottom <= 0)
        return capture;

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = client.right;
    info.bmiHeader.biHeight = -client.bottom;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    if (!bitmap || !dc) {
        if (bitmap)
            DeleteObject(bitmap);
        if (dc)
            DeleteDC(dc);
        return capture;
    }
    const HGDIOBJ original = SelectObject(dc, bitmap);
    const size_t pixel_count = static_cast<size_t>(client.right) * client.bottom;
    auto* pixels = static_cast<uint32_t*>(bits);
    std::fill(pixels, pixels + pixel_count, kUnpaintedRgb);

    // Read back from the window's surface: real plug-ins draw straight into their DC and
    // ignore WM_PRINT.
    HDC window_dc = GetDC(window);
    const bool copied =
        window_dc && BitBlt(dc, 0, 0, client.right, client.bottom, window_dc, 0, 0, SRCCOPY);
    if (window_dc)
        ReleaseDC(window, window_dc);
    GdiFlush();
    if (copied) {
        capture.width = client.right;
        capture.height = client.bottom;
        capture.pixels.assign(pixels, pixels + pixel_count);
    }
    SelectObject(dc, original);
    DeleteDC(dc);
    DeleteObject(bitmap);
    return capture;
}
