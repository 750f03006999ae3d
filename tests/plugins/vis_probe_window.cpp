#include "tests/plugins/vis_probe_window.h"

#include "tests/plugins/vis_probe_faults.h"
#include "tests/plugins/vis_probe_fuzz.h"

namespace {

constexpr char kDrawingClass[] = "VisProbeDrawing";
constexpr LPARAM kAskEmbedFunction = 505;
constexpr LPARAM kAnnounceDrawingWindow = 611;

ProbeControl* g_recording = nullptr;
bool g_ready = true;

bool is_position_message(UINT message)
{
    return message == WM_WINDOWPOSCHANGING || message == WM_WINDOWPOSCHANGED ||
           message == WM_MOVE || message == WM_SIZE;
}

LRESULT CALLBACK drawing_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (g_recording) {
        const LONG slot = g_recording->window_message_count;
        if (slot < kProbeMaxWindowMessages) {
            // A position change is kept as the window it is placed behind: the record it
            // points at is gone once the message returns.
            const LPARAM kept = message == WM_WINDOWPOSCHANGING
                                    ? reinterpret_cast<LPARAM>(
                                          reinterpret_cast<WINDOWPOS*>(lparam)->hwndInsertAfter)
                                    : lparam;
            g_recording->window_messages[slot] = {message, wparam, kept};
            InterlockedIncrement(&g_recording->window_message_count);
        }
    }
    if (is_position_message(message) && g_recording) {
        if (g_ready && g_recording->late_position_fault != kProbeNoFault) {
            // Once: the teardown moves the window again.
            const ProbeFault fault = g_recording->late_position_fault;
            g_recording->late_position_fault = kProbeNoFault;
            InterlockedIncrement(&g_recording->window_fault_reached);
            raise_fault(fault);
        } else if (!g_ready) {
            InterlockedIncrement(&g_recording->early_position_messages);
            raise_fault(g_recording->early_position_fault);
        }
    }
    if (message == kProbeFaultMessage && g_recording) {
        InterlockedIncrement(&g_recording->window_fault_reached);
        raise_fault(g_recording->window_fault);
        return 0;
    }
    fuzz_from_window_message();
    return DefWindowProcA(window, message, wparam, lparam);
}

HINSTANCE this_module()
{
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&drawing_proc), &module);
    return module;
}

}  // namespace

HWND create_drawing_window(HWND parent, ProbeControl* control)
{
    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = drawing_proc;
    window_class.hInstance = this_module();
    window_class.lpszClassName = kDrawingClass;
    RegisterClassA(&window_class);
    g_recording = control;
    const DWORD style = parent ? WS_CHILD | WS_VISIBLE : WS_OVERLAPPEDWINDOW;
    HWND window = CreateWindowExA(0, kDrawingClass, "vis_probe", style, 0, 0, 120, 80, parent,
                                  nullptr, window_class.hInstance, nullptr);
    g_ready = control->early_position_fault == kProbeNoFault;
    return window;
}

void mark_drawing_window_ready()
{
    g_ready = true;
}

void paint_through_dc(HWND drawing, LONG frame)
{
    RECT client = {};
    HDC dc = GetDC(drawing);
    if (!dc)
        return;
    if (GetClientRect(drawing, &client) && client.right > 0) {
        HBRUSH background = CreateSolidBrush(RGB(frame * 8 % 256, 40, 160));
        FillRect(dc, &client, background);
        DeleteObject(background);
        const LONG x = frame * 4 % client.right;
        RECT column = {x, 0, x + 4, client.bottom};
        FillRect(dc, &column, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    ReleaseDC(drawing, dc);
}

void announce_drawing_window(HWND winamp, HWND drawing)
{
    SendMessageA(winamp, WM_USER, reinterpret_cast<WPARAM>(drawing), kAnnounceDrawingWindow);
}

void destroy_drawing_window(ProbeControl* control)
{
    if (control->vis_window && IsWindow(control->vis_window))
        DestroyWindow(control->vis_window);
    control->vis_window = nullptr;
    g_recording = nullptr;
    g_ready = true;
    UnregisterClassA(kDrawingClass, this_module());
}

HWND ask_embed_window(HWND winamp, ProbeEmbedRecord* record)
{
    using EmbedFunction = HWND(__cdecl*)(ProbeEmbedRecord*);
    const auto function = reinterpret_cast<EmbedFunction>(SendMessageA(winamp, WM_USER, 0,
                                                                       kAskEmbedFunction));
    return function ? function(record) : nullptr;
}
