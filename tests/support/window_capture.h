// A window's client area as it was drawn, read back into a 32-bit DIB section from the
// window's surface (what a window draws, without a screen) or from the screen (what a
// display shows, OpenGL and Direct3D included).
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

struct WindowCapture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, top row first

    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    // Pixels of the colour within the rows [top, bottom).
    size_t count(uint32_t rgb, int top, int bottom) const;
    size_t count(uint32_t rgb) const { return count(rgb, 0, height); }
};

// The DIB's colour before the window's pixels are copied over it.
constexpr uint32_t kUnpaintedRgb = 0xFF00FF;

// Empty (0 by 0) when the window has no client area or its surface cannot be read.
WindowCapture capture_client(HWND window);

using PictureLook = std::function<WindowCapture(HWND)>;

// Calls `step` (a frame for the wrapper, say) over and over until the window's picture,
// taken with `look` at most every 100 ms, satisfies the condition or the time runs out; the
// last picture stays in `picture`.
bool step_until_picture(const std::function<void()>& step, HWND window, const PictureLook& look,
                        WindowCapture* picture,
                        const std::function<bool(const WindowCapture&)>& condition,
                        DWORD timeout_ms);

// The window's client area as the screen shows it (under Wine's X11 driver a window's own
// device context reads back what GDI drew there, not what OpenGL did).
WindowCapture capture_client_from_screen(HWND window);

// A Windows colour value (0x00BBGGRR) as a captured pixel (0x00RRGGBB).
constexpr uint32_t rgb_of(COLORREF colour)
{
    return (colour & 0xFF) << 16 | (colour & 0xFF00) | (colour >> 16 & 0xFF);
}
