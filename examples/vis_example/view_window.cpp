#include "view_window.h"

namespace {

constexpr char kViewClass[] = "VisExampleView";
constexpr char kViewTitle[] = "Example visualization";
constexpr int kOwnWindowWidth = 400;
constexpr int kOwnWindowHeight = 200;

}  // namespace

bool ViewWindow::create(HINSTANCE instance, HWND frame, COLORREF background)
{
    instance_ = instance;
    background_ = background;

    WNDCLASSA view_class = {};
    view_class.lpfnWndProc = procedure;
    view_class.hInstance = instance;
    view_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    view_class.lpszClassName = kViewClass;
    // The other module's view may have registered it already.
    if (!RegisterClassA(&view_class) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return false;

    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    RECT area = {0, 0, kOwnWindowWidth, kOwnWindowHeight};
    int x = 0;
    int y = 0;
    if (frame) {
        if (!GetClientRect(frame, &area))
            return false;
    } else {
        style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
        AdjustWindowRect(&area, style, FALSE);
        x = CW_USEDEFAULT;
        y = CW_USEDEFAULT;
    }
    // The procedure finds this object through the creation parameter from the first message.
    window_ = CreateWindowExA(0, kViewClass, kViewTitle, style, x, y, area.right - area.left,
                              area.bottom - area.top, frame, nullptr, instance, this);
    if (!window_)
        return false;
    // Windows sizes a new window without a WM_SIZE on some paths.
    if (!buffer_.dc())
        fit_buffer_to_client();
    return true;
}

void ViewWindow::destroy()
{
    if (window_)
        DestroyWindow(window_);
    window_ = nullptr;
    buffer_.release();
    // Fails, harmlessly, while the other module's view still uses the class.
    if (instance_)
        UnregisterClassA(kViewClass, instance_);
    instance_ = nullptr;
}

void ViewWindow::present() const
{
    if (!window_)
        return;
    if (HDC dc = GetDC(window_)) {
        buffer_.copy_to(dc);
        ReleaseDC(window_, dc);
    }
}

void ViewWindow::fit_buffer_to_client()
{
    RECT client;
    if (GetClientRect(window_, &client))
        buffer_.resize(client.right, client.bottom, background_);
}

LRESULT CALLBACK ViewWindow::procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_NCCREATE) {
        auto* view = static_cast<ViewWindow*>(reinterpret_cast<CREATESTRUCTA*>(lparam)->lpCreateParams);
        view->window_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view));
    }
    auto* view = reinterpret_cast<ViewWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!view)
        return DefWindowProcA(window, message, wparam, lparam);
    return view->handle(message, wparam, lparam);
}

LRESULT ViewWindow::handle(UINT message, WPARAM wparam, LPARAM lparam)
{
    HWND window = window_;
    switch (message) {
    case WM_SIZE:
        fit_buffer_to_client();
        return 0;
    case WM_ERASEBKGND:
        return 1;  // every pixel comes from the back buffer
    case WM_PAINT: {
        PAINTSTRUCT paint;
        if (BeginPaint(window, &paint)) {
            buffer_.copy_to(paint.hdc);
            EndPaint(window, &paint);
        }
        return 0;
    }
    case WM_PRINTCLIENT:
        buffer_.copy_to(reinterpret_cast<HDC>(wparam));
        return 0;
    case WM_WINDOWPOSCHANGING:
    case WM_WINDOWPOSCHANGED:
        // Hosts pass on their frame's position changes too; only our own are ours to act on.
        if (reinterpret_cast<const WINDOWPOS*>(lparam)->hwnd != window)
            return 0;
        break;
    case WM_NCDESTROY:
        // Closed by the user, or with its frame: the module sees a null handle from now on.
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        window_ = nullptr;
        buffer_.release();
        break;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}
