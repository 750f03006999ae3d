#include "tools/player/frame_capture.h"

#include "tools/player/dib_surface.h"

namespace {

constexpr UINT kPrintTimeoutMs = 5000;
constexpr uint32_t kUnprintedColour = 0x000000;

// The window's thread answers between two frames; a hung one is given up on.
bool print_client(HWND window, HDC dc)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_PRINT, reinterpret_cast<WPARAM>(dc),
                               PRF_CLIENT | PRF_ERASEBKGND, SMTO_ABORTIFHUNG, kPrintTimeoutMs,
                               &result) != 0;
}

}  // namespace

Image capture_client(HWND window)
{
    RECT client = {};
    if (!IsWindow(window) || !GetClientRect(window, &client))
        return Image();
    DibSurface surface;
    if (!surface.create(client.right, client.bottom, kUnprintedColour) ||
        !print_client(window, surface.dc()))
        return Image();
    Image picture = surface.image();

    // Children are printed one by one and laid where they sit, rather than trusting the
    // parent to print them.
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT placed = {};
        if (IsWindowVisible(child) && GetWindowRect(child, &placed))
            paste_image(picture, capture_client(child), placed.left - origin.x, placed.top - origin.y);
    }
    return picture;
}

Image capture_framed(HWND window)
{
    const Image client = capture_client(window);
    if (client.width == 0)
        return client;
    const int caption_height = GetSystemMetrics(SM_CYCAPTION);
    DibSurface caption;
    if (caption_height <= 0 || !caption.create(client.width, caption_height, kUnprintedColour))
        return client;
    RECT strip = {0, 0, client.width, caption_height};
    DrawCaption(window, caption.dc(), &strip, DC_ACTIVE | DC_TEXT | DC_ICON | DC_GRADIENT);
    Image picture(client.width, caption_height + client.height, kUnprintedColour);
    paste_image(picture, caption.image(), 0, 0);
    paste_image(picture, client, 0, caption_height);
    return picture;
}
