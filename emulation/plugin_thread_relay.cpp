#include "emulation/plugin_thread_relay.h"

#include "runtime/memory_access.h"

#include <atomic>

namespace {

constexpr char kRelayClass[] = "KorvelVisPluginRelay";
constexpr UINT kRelayedCallMessage = WM_APP + 1;

std::atomic<HWND> g_relay{nullptr};
std::atomic<DWORD> g_relay_thread{0};

// Shared by the sender and the relay: a send that gives up still reaches the relay later,
// so whichever of the two is done last frees it.
struct RelayedRecord {
    RelayedCall call;
    std::atomic<int> owners{2};
};

void release(RelayedRecord* record)
{
    if (record->owners.fetch_sub(1) == 1)
        delete record;
}

LRESULT CALLBACK relay_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message != kRelayedCallMessage)
        return DefWindowProcA(window, message, wparam, lparam);
    auto* record = reinterpret_cast<RelayedRecord*>(lparam);
    record->call.act(record->call);
    release(record);
    return 0;
}

HINSTANCE own_module()
{
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&relay_proc), &module);
    return module;
}

bool is_position_message(UINT message)
{
    return message == WM_WINDOWPOSCHANGING || message == WM_WINDOWPOSCHANGED;
}

}  // namespace

bool open_plugin_thread_relay()
{
    HWND relay = g_relay;
    if (relay && g_relay_thread == GetCurrentThreadId() && IsWindow(relay))
        return true;
    HINSTANCE module = own_module();
    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = relay_proc;
    window_class.hInstance = module;
    window_class.lpszClassName = kRelayClass;
    // A class left by a thread that was ended by force is still ours and still usable.
    RegisterClassA(&window_class);
    relay = CreateWindowExA(0, kRelayClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, module,
                            nullptr);
    g_relay_thread = relay ? GetCurrentThreadId() : 0;
    g_relay = relay;
    return relay != nullptr;
}

void close_plugin_thread_relay()
{
    HWND relay = g_relay.exchange(nullptr);
    const bool own = g_relay_thread.exchange(0) == GetCurrentThreadId();
    if (relay && own)
        DestroyWindow(relay);
    UnregisterClassA(kRelayClass, own_module());
}

bool on_plugin_thread()
{
    const DWORD thread = g_relay_thread;
    return thread == 0 || thread == GetCurrentThreadId();
}

void run_on_plugin_thread(RelayedCall call)
{
    HWND relay = g_relay;
    bool carries_position = is_position_message(call.message);
    if (carries_position) {
        const auto* position = reinterpret_cast<const WINDOWPOS*>(call.lparam);
        // A record nobody could read is passed on as none.
        if (position && is_readable_memory(position, sizeof *position))
            call.position = *position;
        else
            carries_position = false;
        call.lparam = 0;
    }
    if (on_plugin_thread() || !relay) {
        if (carries_position)
            call.lparam = reinterpret_cast<LPARAM>(&call.position);
        call.act(call);
        return;
    }
    auto* record = new RelayedRecord{call};
    if (carries_position)
        record->call.lparam = reinterpret_cast<LPARAM>(&record->call.position);
    DWORD_PTR ignored = 0;
    // A send that timed out is still delivered later. One to a relay destroyed meanwhile
    // (the moment of a teardown) never is: its record is left, not freed under a reader.
    SendMessageTimeoutA(relay, kRelayedCallMessage, 0, reinterpret_cast<LPARAM>(record),
                        SMTO_NORMAL, kRelayWaitMs, &ignored);
    release(record);
}
