#include "tests/support/test_player.h"

#include "tests/support/wait.h"

namespace {

TestPlayer* g_player = nullptr;

void register_class(const char* name, WNDPROC procedure)
{
    UnregisterClassA(name, GetModuleHandleA(nullptr));
    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = procedure;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.lpszClassName = name;
    window_class.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    RegisterClassA(&window_class);
}

}  // namespace

TestPlayer::TestPlayer() : TestPlayer(Options()) {}

TestPlayer::TestPlayer(const Options& options) : options_(options)
{
    g_player = this;
    register_class("TApplication", app_proc);
    app_window_ = CreateWindowExA(options.topmost ? WS_EX_TOPMOST : 0, "TApplication", nullptr,
                                  WS_OVERLAPPEDWINDOW, 120, 80, 400, 300, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    if (!options.winamp_window)
        return;
    register_class("Winamp v1.x", winamp_proc);
    if (options.winamp_on_own_thread) {
        winamp_ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        hang_release_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        hung_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        winamp_thread_ = CreateThread(nullptr, 0, winamp_thread_main, this, 0, nullptr);
        WaitForSingleObject(winamp_ready_, 10000);
    } else {
        create_winamp_window();
    }
}

TestPlayer::~TestPlayer()
{
    if (winamp_thread_) {
        resume_winamp_thread();
        PostMessageA(winamp_window_, WM_CLOSE, 0, 0);
        WaitForSingleObject(winamp_thread_, 10000);
        CloseHandle(winamp_thread_);
        CloseHandle(winamp_ready_);
        CloseHandle(hang_release_);
        CloseHandle(hung_);
    } else if (winamp_window_) {
        DestroyWindow(winamp_window_);
    }
    if (app_window_)
        DestroyWindow(app_window_);
    pump_messages();
    UnregisterClassA("TApplication", GetModuleHandleA(nullptr));
    UnregisterClassA("Winamp v1.x", GetModuleHandleA(nullptr));
    g_player = nullptr;
}

void TestPlayer::create_winamp_window()
{
    winamp_window_ = CreateWindowExA(0, "Winamp v1.x", "Winamp 2.x", WS_OVERLAPPED, 0, 0, 100, 50,
                                     nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

DWORD WINAPI TestPlayer::winamp_thread_main(LPVOID parameter)
{
    auto* self = static_cast<TestPlayer*>(parameter);
    self->create_winamp_window();
    SetEvent(self->winamp_ready_);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_CLOSE && msg.hwnd == self->winamp_window_) {
            DestroyWindow(self->winamp_window_);
            break;
        }
        DispatchMessageA(&msg);
        if (self->hanging_) {
            SetEvent(self->hung_);
            WaitForSingleObject(self->hang_release_, INFINITE);
        }
    }
    return 0;
}

void TestPlayer::hang_winamp_thread()
{
    ResetEvent(hang_release_);
    ResetEvent(hung_);
    hanging_ = true;
    // The thread stops at the next message it takes and stays there.
    PostMessageA(winamp_window_, WM_NULL, 0, 0);
}

bool TestPlayer::wait_until_winamp_thread_hangs(DWORD timeout_ms)
{
    return hung_ && WaitForSingleObject(hung_, timeout_ms) == WAIT_OBJECT_0;
}

void TestPlayer::resume_winamp_thread()
{
    hanging_ = false;
    if (hang_release_)
        SetEvent(hang_release_);
}

void TestPlayer::set_settings_answer(const char* text)
{
    std::lock_guard<std::mutex> lock(mutex_);
    settings_answer_set_ = text != nullptr;
    settings_answer_ = text ? text : "";
}

void TestPlayer::set_answer(LPARAM code, LRESULT answer)
{
    std::lock_guard<std::mutex> lock(mutex_);
    answers_[code] = answer;
}

void TestPlayer::set_title(const wchar_t* title)
{
    SetWindowTextW(winamp_window_, title);
}

std::vector<RecordedMessage> TestPlayer::messages() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return messages_;
}

size_t TestPlayer::count_user_requests(LPARAM code) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    size_t count = 0;
    for (const RecordedMessage& m : messages_)
        count += m.message == WM_USER && m.lparam == code;
    return count;
}

void TestPlayer::clear_messages()
{
    std::lock_guard<std::mutex> lock(mutex_);
    messages_.clear();
}

LRESULT CALLBACK TestPlayer::app_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    return DefWindowProcA(window, message, wparam, lparam);
}

LRESULT CALLBACK TestPlayer::winamp_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (g_player)
        return g_player->handle_winamp(window, message, wparam, lparam);
    return DefWindowProcA(window, message, wparam, lparam);
}

LRESULT TestPlayer::handle_winamp(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message != WM_USER && message != WM_COMMAND)
        return DefWindowProcA(window, message, wparam, lparam);

    std::lock_guard<std::mutex> lock(mutex_);
    messages_.push_back({message, wparam, lparam, GetCurrentThreadId(), GetTickCount()});
    if (message == WM_COMMAND)
        return command_answer_;
    if (lparam == 335)
        return settings_answer_set_ ? reinterpret_cast<LRESULT>(settings_answer_.c_str()) : 0;
    if (lparam == 126)
        return sample_rate_khz_;
    const auto found = answers_.find(lparam);
    return found != answers_.end() ? found->second : 0;
}
