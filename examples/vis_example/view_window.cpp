#include "view_window.h"

#include "view_creation.h"

namespace {

constexpr char kViewClass[] = "VisExampleView";
constexpr char kViewTitle[] = "Example visualization";

}  // namespace

bool ViewWindow::create(HINSTANCE instance, HWND frame, COLORREF background)
{
    instance_ = instance;
    background_ = background;

    const ViewKind kind = {kViewClass, kViewTitle, 0, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                           WS_OVERLAPPEDWINDOW};
    window_ = create_view_window(instance, frame, kind, route_to_view<ViewWindow>, this);
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
