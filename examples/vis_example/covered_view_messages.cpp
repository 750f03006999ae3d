#include "covered_view_messages.h"

bool answer_covered_view_message(HWND window, UINT message, LPARAM lparam, LRESULT* result)
{
    switch (message) {
    case WM_ERASEBKGND:
        *result = 1;  // the 3D drawing covers every pixel
        return true;
    case WM_PAINT: {
        // The next frame comes within the module's delay; nothing to draw now.
        PAINTSTRUCT paint;
        if (BeginPaint(window, &paint))
            EndPaint(window, &paint);
        *result = 0;
        return true;
    }
    case WM_WINDOWPOSCHANGING:
    case WM_WINDOWPOSCHANGED:
        // Hosts pass on their frame's position changes too; only our own are ours to act on.
        if (reinterpret_cast<const WINDOWPOS*>(lparam)->hwnd == window)
            return false;
        *result = 0;
        return true;
    default:
        return false;
    }
}
