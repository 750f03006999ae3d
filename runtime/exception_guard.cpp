#include "runtime/exception_guard.h"

#include "runtime/stack_guard.h"

namespace {

struct GuardFrame {
    void* previous;
    void* handler;
    DWORD saved_esp;
    DWORD saved_ebp;
    intptr_t result;
    DWORD exception_code;
    DWORD last_error;
};
static_assert(offsetof(GuardFrame, saved_esp) == 8 && offsetof(GuardFrame, result) == 16,
              "guard_frame.S reads these offsets");

}  // namespace

extern "C" {
int __cdecl guard_trampoline(GuardFrame* frame, PluginCall function, intptr_t argument);
void __cdecl guard_resume();
[[noreturn]] void __cdecl guard_jump(GuardFrame* frame);

// The way an __except block takes an exception: run the unwind handlers of every frame
// the plug-in registered above ours, then jump to the trampoline's epilogue. Jumping, not
// returning: an exception raised as non-continuable (as every MSVC C++ throw is) may not
// be continued, not even somewhere else.
//
// A stack overflow takes its own path. Unwinding would run the plug-in's handlers on a
// stack that is used up, so its frames are dropped as they are; and the handler returns
// with the context redirected to the epilogue, which leaves that stack at once.
EXCEPTION_DISPOSITION __cdecl guard_handler(EXCEPTION_RECORD* record, void* establisher,
                                            CONTEXT* context, void*)
{
    if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND))
        return ExceptionContinueSearch;

    auto* frame = static_cast<GuardFrame*>(establisher);
    frame->last_error = GetLastError();
    frame->exception_code = record->ExceptionCode;
    if (record->ExceptionCode != STATUS_STACK_OVERFLOW) {
        RtlUnwind(establisher, nullptr, record, nullptr);
        guard_jump(frame);
    }

    context->Eip = reinterpret_cast<DWORD>(&guard_resume);
    context->Esp = frame->saved_esp;
    context->Ebp = frame->saved_ebp;
    context->Ecx = reinterpret_cast<DWORD>(frame);
    return ExceptionContinueExecution;
}
}

GuardedResult call_guarded(PluginCall function, intptr_t argument)
{
    GuardFrame frame = {};
    GuardedResult outcome;
    outcome.faulted = guard_trampoline(&frame, function, argument) != 0;
    if (outcome.faulted) {
        outcome.exception_code = frame.exception_code;
        outcome.last_error = frame.last_error;
        if (frame.exception_code == STATUS_STACK_OVERFLOW)
            restore_stack_guard();
        SetLastError(frame.last_error);
    } else {
        outcome.value = frame.result;
    }
    return outcome;
}
