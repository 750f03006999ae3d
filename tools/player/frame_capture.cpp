#include "tools/player/frame_capture.h"

#include "tools/player/dib_surface.h"

namespace {

constexpr uint32_t kUnreadColour = 0x000000;

bool copy_client(HWND window, HDC target, int left, int top, PictureSource source_kind)
{
    const bool from_screen = source_kind == PictureSource::kScreen;
    RECT client = {};
    POINT origin = {0, 0};
    if (!GetClientRect(window, &client) || (from_screen && !ClientToScreen(window, &origin)))
        return false;
    HWND source_window = from_screen ? nullptr : window;
    HDC source = GetDC(source_window);
    if (!source)
        return false;
    const BOOL copied = BitBlt(target, left, top, client.right, client.bottom, source, origin.x,
                               origin.y, SRCCOPY);
    ReleaseDC(source_window, source);
    return copied != FALSE;
}

// A parent's context may leave out what its children drew, so each visible child is copied
// again where it sits, and its children after it.
void copy_children(HWND parent, HDC target, POINT origin)
{
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        POINT at = {0, 0};
        if (!IsWindowVisible(child) || !ClientToScreen(child, &at))
            continue;
        if (copy_client(child, target, at.x - origin.x, at.y - origin.y, PictureSource::kSurface))
            copy_children(child, target, origin);
    }
}

// The title is read without a message to the window (DrawCaption's own text would ask its
// thread, and a plug-in hung in its render entry never answers).
void draw_title(HWND window, HDC dc, RECT strip)
{
    wchar_t title[256] = {};
    const int length = InternalGetWindowText(window, title, 256);
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    HFONT font = SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)
                     ? CreateFontIndirectW(&metrics.lfCaptionFont)
                     : nullptr;
    HGDIOBJ old_font = font ? SelectObject(dc, font) : nullptr;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_CAPTIONTEXT));
    strip.left += strip.bottom + 2;  // beside the icon, which is as wide as the strip is high
    DrawTextW(dc, title, length, &strip, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (old_font)
        SelectObject(dc, old_font);
    if (font)
        DeleteObject(font);
}

}  // namespace

Image capture_client(HWND window, PictureSource source)
{
    RECT client = {};
    POINT origin = {0, 0};
    if (!IsWindow(window) || !GetClientRect(window, &client) || !ClientToScreen(window, &origin))
        return Image();
    DibSurface surface;
    if (!surface.create(client.right, client.bottom, kUnreadColour) ||
        !copy_client(window, surface.dc(), 0, 0, source))
        return Image();
    // The screen already shows the children where they sit.
    if (source == PictureSource::kSurface)
        copy_children(window, surface.dc(), origin);
    return surface.image();
}

Image capture_framed(HWND window, PictureSource source)
{
    const Image client = capture_client(window, source);
    if (client.width == 0)
        return client;
    const int caption_height = GetSystemMetrics(SM_CYCAPTION);
    DibSurface caption;
    if (caption_height <= 0 || !caption.create(client.width, caption_height, kUnreadColour))
        return client;
    RECT strip = {0, 0, client.width, caption_height};
    DrawCaption(window, caption.dc(), &strip, DC_ACTIVE | DC_ICON | DC_GRADIENT);
    draw_title(window, caption.dc(), strip);
    Image picture(client.width, caption_height + client.height, kUnreadColour);
    paste_image(picture, caption.image(), 0, 0);
    paste_image(picture, client, 0, caption_height);
    return picture;
}
