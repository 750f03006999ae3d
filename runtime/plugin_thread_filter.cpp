#include "runtime/plugin_thread_filter.h"

#include "runtime/plugin_threads.h"

#include <windows.h>

#include <atomic>

namespace {

struct SehRecord {
    SehRecord* next;
    void* handler;
};

SehRecord* const kEndOfChain = reinterpret_cast<SehRecord*>(-1);

std::atomic<LPTOP_LEVEL_EXCEPTION_FILTER> g_previous{nullptr};
// Whether the wrapper's filter is in the chain, on top or under one the player set since.
std::atomic<bool> g_in_chain{false};

[[noreturn]] void __cdecl exit_faulted_thread(DWORD exception_code)
{
    ExitThread(exception_code);
}

// After a stack overflow the filter runs on the last page of the stack, too little for
// the thread's exit (every DLL's detach runs in it). The frames of the overflow are dead:
// the exit runs from the middle of the stack, with only the thread's outermost exception
// record left registered, as the frames between are overwritten.
[[noreturn]] void exit_from_middle_of_stack(DWORD exception_code)
{
    DWORD base = 0;
    DWORD limit = 0;
    SehRecord* record = nullptr;
    __asm__ volatile("movl %%fs:4, %0\n\tmovl %%fs:8, %1\n\tmovl %%fs:0, %2"
                     : "=r"(base), "=r"(limit), "=r"(record));
    while (record != kEndOfChain && record->next != kEndOfChain)
        record = record->next;
    const DWORD middle = (base / 2 + limit / 2) & ~static_cast<DWORD>(15);
    __asm__ volatile("movl %0, %%fs:0\n\t"
                     "movl %1, %%esp\n\t"
                     "pushl %2\n\t"
                     "call *%3"
                     :
                     : "r"(record), "r"(middle), "r"(exception_code), "r"(&exit_faulted_thread)
                     : "memory");
    __builtin_unreachable();
}

LONG WINAPI plugin_thread_filter(EXCEPTION_POINTERS* exception)
{
    if (is_plugin_thread(exception->ContextRecord)) {
        note_plugin_thread_fault();
        const DWORD code = exception->ExceptionRecord->ExceptionCode;
        if (code == STATUS_STACK_OVERFLOW)
            exit_from_middle_of_stack(code);
        exit_faulted_thread(code);
    }
    const LPTOP_LEVEL_EXCEPTION_FILTER previous = g_previous.load();
    return previous ? previous(exception) : EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

void install_plugin_thread_filter()
{
    if (g_in_chain.exchange(true))
        return;
    g_previous = SetUnhandledExceptionFilter(plugin_thread_filter);
}

void withdraw_plugin_thread_filter()
{
    if (!g_in_chain)
        return;
    const LPTOP_LEVEL_EXCEPTION_FILTER current = SetUnhandledExceptionFilter(g_previous.load());
    if (current == plugin_thread_filter) {
        g_in_chain = false;
        return;
    }
    SetUnhandledExceptionFilter(current);
}
