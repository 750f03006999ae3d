#include "tests/support/window_capture.h"

#include "tests/support/wait.h"

#include <algorithm>

size_t WindowCapture::count(uint32_t rgb, int top, int bottom) const
{
    const auto first = pixels.begin() + static_cast<ptrdiff_t>(top) * width;
    const auto last = pixels.begin() + static_cast<ptrdiff_t>(bottom) * width;
    return static_cast<size_t>(std::count(first, last, rgb));
}

namespace {

using CopyInto = std::function<bool(HDC, const RECT&)>;

// The window's client area as `copy` puts it into a 32-bit DIB's device context. The top
// byte is dropped: some sources set it.
WindowCapture capture_with(HWND window, const CopyInto& copy)
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
    if (bitmap && dc) {
        const HGDIOBJ original = SelectObject(dc, bitmap);
        const size_t pixel_count = static_cast<size_t>(client.right) * client.bottom;
        auto* pixels = static_cast<uint32_t*>(bits);
        std::fill(pixels, pixels + pixel_count, kUnpaintedRgb);
        if (copy(dc, client)) {
            GdiFlush();
            capture.width = client.right;
            capture.height = client.bottom;
            capture.pixels.resize(pixel_count);
            std::transform(pixels, pixels + pixel_count, capture.pixels.begin(),
                           [](uint32_t pixel) { return pixel & 0xFFFFFF; });
        }
        SelectObject(dc, original);
    }
    if (dc)
        DeleteDC(dc);
    if (bitmap)
        DeleteObject(bitmap);
    return capture;
}

bool blit_from(HDC source, HDC target, const RECT& client, POINT origin)
{
    return source && BitBlt(target, 0, 0, client.right, client.bottom, source, origin.x, origin.y,
                            SRCCOPY);
}

}  // namespace

WindowCapture capture_client(HWND window)
{
    // Read back from the window's surface: real plug-ins draw straight into their DC and
    // ignore WM_PRINT.
    return capture_with(window, [window](HDC dc, const RECT& client) {
        HDC window_dc = GetDC(window);
        const bool copied = blit_from(window_dc, dc, client, {0, 0});
        if (window_dc)
            ReleaseDC(window, window_dc);
        return copied;
    });
}

WindowCapture capture_client_from_screen(HWND window)
{
    return capture_with(window, [window](HDC dc, const RECT& client) {
        POINT origin = {0, 0};
        HDC screen = GetDC(nullptr);
        const bool copied = screen && ClientToScreen(window, &origin) &&
                            blit_from(screen, dc, client, origin);
        if (screen)
            ReleaseDC(nullptr, screen);
        return copied;
    });
}

bool step_until_picture(const std::function<void()>& step, HWND window, const PictureLook& look,
                        WindowCapture* picture,
                        const std::function<bool(const WindowCapture&)>& condition,
                        DWORD timeout_ms)
{
    DWORD last_look = GetTickCount() - 1000;
    return wait_until(
        [&] {
            step();
            if (GetTickCount() - last_look < 100)
                return false;
            last_look = GetTickCount();
            *picture = look(window);
            return picture->width > 0 && condition(*picture);
        },
        timeout_ms);
}
