#include "tools/player/contact_sheet.h"

#include "tools/player/dib_surface.h"

#include <windows.h>

#include <algorithm>

namespace {

constexpr int kColumns = 4;
constexpr int kPictureWidth = 240;
constexpr int kPictureHeight = 150;
constexpr int kTextHeight = 34;
constexpr int kMargin = 8;
constexpr int kCellWidth = kPictureWidth + kMargin;
constexpr int kCellHeight = kPictureHeight + kTextHeight + kMargin;
constexpr uint32_t kBackground = 0x202020;
constexpr uint32_t kEmptyPicture = 0x303030;
constexpr COLORREF kNameColour = RGB(0xE0, 0xE0, 0xE0);
constexpr COLORREF kWorksColour = RGB(0x60, 0xD0, 0x60);
constexpr COLORREF kOtherColour = RGB(0xF0, 0x90, 0x50);

void put_image(HDC dc, const Image& picture, int left, int top)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = picture.width;
    info.bmiHeader.biHeight = -picture.height;  // rows from the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, left, top, picture.width, picture.height, 0, 0, 0, picture.height,
                      picture.pixels.data(), &info, DIB_RGB_COLORS);
}

void put_text(HDC dc, const std::string& text, COLORREF colour, int left, int top)
{
    RECT box = {left, top, left + kPictureWidth, top + kTextHeight / 2};
    SetTextColor(dc, colour);
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &box,
              DT_LEFT | DT_TOP | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
}

}  // namespace

Image draw_contact_sheet(const std::vector<SheetEntry>& entries)
{
    const int count = std::max(1, static_cast<int>(entries.size()));
    const int columns = std::min(kColumns, count);
    const int rows = (count + columns - 1) / columns;
    DibSurface sheet;
    if (!sheet.create(kMargin + columns * kCellWidth, kMargin + rows * kCellHeight, kBackground))
        return Image();
    // Exact colours without smoothing, as text comes out under a headless display driver.
    HFONT font = CreateFontA(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY,
                             DEFAULT_PITCH | FF_SWISS, "Tahoma");
    HGDIOBJ old_font = font ? SelectObject(sheet.dc(), font) : nullptr;
    SetBkMode(sheet.dc(), TRANSPARENT);
    for (size_t i = 0; i < entries.size(); ++i) {
        const SheetEntry& entry = entries[i];
        const int left = kMargin + static_cast<int>(i % columns) * kCellWidth;
        const int top = kMargin + static_cast<int>(i / columns) * kCellHeight;
        const Image picture = entry.picture.width > 0
                                  ? scale_to_fit(entry.picture, kPictureWidth, kPictureHeight)
                                  : Image(kPictureWidth, kPictureHeight, kEmptyPicture);
        put_image(sheet.dc(), picture, left, top);
        put_text(sheet.dc(), entry.name, kNameColour, left, top + kPictureHeight + 2);
        put_text(sheet.dc(), entry.verdict, entry.works ? kWorksColour : kOtherColour, left,
                 top + kPictureHeight + 2 + kTextHeight / 2);
    }
    if (old_font)
        SelectObject(sheet.dc(), old_font);
    if (font)
        DeleteObject(font);
    return sheet.image();
}
