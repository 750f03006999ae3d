#include "tools/player/frame_capture.h"

#include "tools/player/dib_surface.h"

namespace {

constexpr UINT kPrintTimeoutMs = 5000;
constexpr uint32_t kUnprintedColour = 0x000000;

// The window's render thread answers between two frames; a hung one is given up on.
bool print_into(HWND window, HDC dc, LPARAM flags)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_PRINT, reinterpret_cast<WPARAM>(dc), flags,
                               SMTO_ABORTIFHUNG, kPrintTimeoutMs, &result) != 0;
}

}  // namespace

Image capture_window(HWND window)
{
    RECT outer = {};
    if (!IsWindow(window) || !GetWindowRect(window, &outer))
        return Image();
    DibSurface surface;
    if (!surface.create(outer.right - outer.left, outer.bottom - outer.top, kUnprintedColour))
        return Image();
    if (!print_into(window, surface.dc(), PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND))
        return Image();
    Image picture = surface.image();

    // Children are printed one by one and laid where they sit, rather than trusting the
    // parent to print them.
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT placed = {};
        if (!IsWindowVisible(child) || !GetWindowRect(child, &placed))
            continue;
        paste_image(picture, capture_window(child), placed.left - outer.left, placed.top - outer.top);
    }
    return picture;
}
