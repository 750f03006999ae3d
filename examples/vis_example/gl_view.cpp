#include "gl_view.h"

#include "covered_view_messages.h"
#include "view_creation.h"

#include <GL/gl.h>

namespace {

constexpr char kGlViewClass[] = "VisExampleGlView";
constexpr char kGlViewTitle[] = "Example visualization (OpenGL)";

}  // namespace

bool GlView::create(HINSTANCE instance, HWND frame)
{
    instance_ = instance;
    // OpenGL wants the same device context for the window's whole life.
    const ViewKind kind = {kGlViewClass, kGlViewTitle, CS_OWNDC,
                           WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                           WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN};
    window_ = create_view_window(instance, frame, kind, route_to_view<GlView>, this);
    if (!window_)
        return false;
    if (!start_opengl()) {
        destroy();
        return false;
    }
    return true;
}

bool GlView::start_opengl()
{
    dc_ = GetDC(window_);
    if (!dc_)
        return false;
    PIXELFORMATDESCRIPTOR wanted = {};
    wanted.nSize = sizeof wanted;
    wanted.nVersion = 1;
    wanted.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    wanted.iPixelType = PFD_TYPE_RGBA;
    wanted.cColorBits = 24;
    wanted.iLayerType = PFD_MAIN_PLANE;
    const int format = ChoosePixelFormat(dc_, &wanted);
    if (format == 0 || !SetPixelFormat(dc_, format, &wanted))
        return false;
    context_ = wglCreateContext(dc_);
    return context_ && wglMakeCurrent(dc_, context_);
}

void GlView::stop_opengl()
{
    if (context_) {
        if (wglGetCurrentContext() == context_)
            wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(context_);
    }
    context_ = nullptr;
    if (dc_ && window_)
        ReleaseDC(window_, dc_);
    dc_ = nullptr;
}

void GlView::destroy()
{
    stop_opengl();
    if (window_)
        DestroyWindow(window_);
    window_ = nullptr;
    // Fails, harmlessly, while another module's view still uses the class.
    if (instance_)
        UnregisterClassA(kGlViewClass, instance_);
    instance_ = nullptr;
}

bool GlView::begin_frame(int* width, int* height)
{
    RECT client;
    if (!window_ || !context_ || !GetClientRect(window_, &client))
        return false;
    // The host may have made a context of its own current on this thread since the last
    // frame.
    if (wglGetCurrentContext() != context_ && !wglMakeCurrent(dc_, context_))
        return false;
    *width = client.right;
    *height = client.bottom;
    glViewport(0, 0, client.right, client.bottom);
    return true;
}

void GlView::end_frame()
{
    if (window_ && context_)
        SwapBuffers(dc_);
}

LRESULT GlView::handle(UINT message, WPARAM wparam, LPARAM lparam)
{
    HWND window = window_;
    LRESULT answer = 0;
    if (answer_covered_view_message(window, message, lparam, &answer))
        return answer;
    if (message == WM_NCDESTROY) {
        // Closed by the user, or with its frame: the context goes with the window.
        stop_opengl();
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        window_ = nullptr;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}
