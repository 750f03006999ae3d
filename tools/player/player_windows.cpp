#include "tools/player/player_windows.h"

namespace {

constexpr char kAppClass[] = "TApplication";
constexpr char kPanelClass[] = "ZekoPlayerPanel";
constexpr char kWinampClass[] = "Winamp v1.x";
constexpr UINT kWinampRequest = WM_USER;
constexpr LPARAM kSettingsDirectoryRequest = 335;
constexpr LPARAM kSampleRateRequest = 126;
constexpr int kAppWidth = 420;
constexpr int kAppHeight = 160;

// One player per process, as the wrapper assumes; the window procedures reach it here.
PlayerWindows* g_windows = nullptr;

bool register_class(const char* name, WNDPROC procedure, HBRUSH background)
{
    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = procedure;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    window_class.hbrBackground = background;
    window_class.lpszClassName = name;
    return RegisterClassA(&window_class) != 0;
}

}  // namespace

PlayerWindows::PlayerWindows(const std::string& settings_dir, int sample_rate_khz,
                             const std::wstring& title)
    : settings_dir_(settings_dir), sample_rate_khz_(sample_rate_khz)
{
    g_windows = this;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!register_class(kAppClass, app_proc, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)) ||
        !register_class(kPanelClass, panel_proc, nullptr) ||
        !register_class(kWinampClass, winamp_proc, nullptr))
        return;

    winamp_window_ = CreateWindowExA(0, kWinampClass, "", WS_OVERLAPPED, 0, 0, 100, 50, nullptr,
                                     nullptr, instance, nullptr);
    if (winamp_window_)
        SetWindowTextW(winamp_window_, title.c_str());
    app_window_ = CreateWindowExA(0, kAppClass, "ZEKO reference player",
                                  WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 80, 80, kAppWidth,
                                  kAppHeight, nullptr, nullptr, instance, nullptr);
    if (!app_window_)
        return;
    RECT client = {};
    GetClientRect(app_window_, &client);
    panel_ = CreateWindowExA(0, kPanelClass, "", WS_CHILD | WS_VISIBLE, 0, 0, client.right,
                             client.bottom, app_window_, nullptr, instance, nullptr);
    ShowWindow(app_window_, SW_SHOWNORMAL);
}

PlayerWindows::~PlayerWindows()
{
    if (app_window_)
        DestroyWindow(app_window_);
    if (winamp_window_)
        DestroyWindow(winamp_window_);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    UnregisterClassA(kPanelClass, instance);
    UnregisterClassA(kAppClass, instance);
    UnregisterClassA(kWinampClass, instance);
    g_windows = nullptr;
}

void PlayerWindows::set_app_title(const std::wstring& title)
{
    SetWindowTextW(app_window_, title.c_str());
}

SIZE PlayerWindows::panel_size() const
{
    RECT client = {};
    if (!panel_ || !GetClientRect(panel_, &client))
        return {0, 0};
    return {client.right, client.bottom};
}

LRESULT CALLBACK PlayerWindows::app_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_SIZE:
        if (g_windows && g_windows->panel_)
            MoveWindow(g_windows->panel_, 0, 0, LOWORD(lparam), HIWORD(lparam), TRUE);
        return 0;
    case WM_CLOSE:
        // The frame loop finalizes the wrapper before the window goes.
        if (g_windows)
            g_windows->close_requested_ = true;
        return 0;
    default:
        return DefWindowProcA(window, message, wparam, lparam);
    }
}

LRESULT CALLBACK PlayerWindows::panel_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    const PanelEvents* events = g_windows ? &g_windows->events_ : nullptr;
    switch (message) {
    case WM_SIZE:
        if (events && events->resized)
            events->resized(LOWORD(lparam), HIWORD(lparam));
        return 0;
    case WM_LBUTTONUP:
        if (events && events->clicked)
            events->clicked();
        return 0;
    case WM_ERASEBKGND:
        return 1;  // the canvas covers the whole panel
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        if (dc && events && events->paint)
            events->paint(dc);
        EndPaint(window, &paint);
        return 0;
    }
    default:
        return DefWindowProcA(window, message, wparam, lparam);
    }
}

LRESULT CALLBACK PlayerWindows::winamp_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message != kWinampRequest || !g_windows)
        return DefWindowProcA(window, message, wparam, lparam);
    if (lparam == kSettingsDirectoryRequest)
        return g_windows->settings_dir_.empty()
                   ? 0
                   : reinterpret_cast<LRESULT>(g_windows->settings_dir_.c_str());
    if (lparam == kSampleRateRequest)
        return g_windows->sample_rate_khz_;
    return 0;
}
