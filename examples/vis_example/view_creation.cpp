#include "view_creation.h"

namespace {

constexpr int kOwnWindowWidth = 400;
constexpr int kOwnWindowHeight = 200;

}  // namespace

HWND create_view_window(HINSTANCE instance, HWND frame, const ViewKind& kind, WNDPROC procedure,
                        void* view)
{
    WNDCLASSA view_class = {};
    view_class.style = kind.class_style;
    view_class.lpfnWndProc = procedure;
    view_class.hInstance = instance;
    view_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    view_class.lpszClassName = kind.class_name;
    // The other module's view may have registered it already.
    if (!RegisterClassA(&view_class) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return nullptr;

    DWORD style = kind.child_style;
    int x = 0, y = 0;
    RECT area = {0, 0, kOwnWindowWidth, kOwnWindowHeight};
    if (frame) {
        if (!GetClientRect(frame, &area))
            return nullptr;
    } else {
        style = kind.own_style;
        x = y = CW_USEDEFAULT;
        AdjustWindowRect(&area, style, FALSE);
    }
    // The procedure finds the object through the creation parameter from the first message.
    return CreateWindowExA(0, kind.class_name, kind.title, style, x, y, area.right - area.left,
                           area.bottom - area.top, frame, nullptr, instance, view);
}
