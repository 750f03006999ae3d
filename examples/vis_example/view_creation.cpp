#include "view_creation.h"

namespace {

constexpr int kOwnWindowWidth = 400;
constexpr int kOwnWindowHeight = 200;

}  // namespace

bool place_view(HWND frame, DWORD child_style, DWORD own_style, ViewPlacement* placement)
{
    RECT area = {0, 0, kOwnWindowWidth, kOwnWindowHeight};
    if (frame) {
        if (!GetClientRect(frame, &area))
            return false;
        *placement = {child_style, 0, 0, area.right, area.bottom};
        return true;
    }
    AdjustWindowRect(&area, own_style, FALSE);
    *placement = {own_style, CW_USEDEFAULT, CW_USEDEFAULT, area.right - area.left,
                  area.bottom - area.top};
    return true;
}
