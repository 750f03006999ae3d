#include "tests/support/plugin_dispatch.h"

#include <gtest/gtest.h>

namespace {

struct PluginCall {
    const void* object;
    const void* entry;
    int32_t code;
    void* result;
    void* const* args;
    int32_t argc;
};

// Returns the answer and how far ESP moved, which is 0 only when the callee removed its
// arguments.
void call_like_a_plugin(const PluginCall& call, int32_t* answer, int32_t* stack_change)
{
    asm volatile("movl %%esp, %%esi\n\t"
                 "pushl 20(%%ebx)\n\t"
                 "pushl 16(%%ebx)\n\t"
                 "pushl 12(%%ebx)\n\t"
                 "pushl 8(%%ebx)\n\t"
                 "movl (%%ebx), %%ecx\n\t"
                 "call *4(%%ebx)\n\t"
                 "movl %%esp, %%edx\n\t"
                 "subl %%esi, %%edx\n\t"
                 "movl %%esi, %%esp"
                 : "=a"(*answer), "=d"(*stack_change)
                 : "b"(&call)
                 : "ecx", "esi", "memory", "cc");
}

}  // namespace

int32_t dispatch_like_a_plugin(const void* object, int32_t code, void* result,
                               void* const* args, int32_t argc)
{
    const void* table = *static_cast<const void* const*>(object);
    const void* entry = *static_cast<const void* const*>(table);
    int32_t answer = 0;
    int32_t stack_change = 0;
    call_like_a_plugin({object, entry, code, result, args, argc}, &answer, &stack_change);
    EXPECT_EQ(stack_change, 0) << "Dispatch must remove its four arguments";
    return answer;
}

int32_t dispatch_like_a_plugin(const void* object, int32_t code, void* result,
                               std::vector<void*> args)
{
    return dispatch_like_a_plugin(object, code, result, args.data(),
                                  static_cast<int32_t>(args.size()));
}
