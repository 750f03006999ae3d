#include "emulation/dispatch_call.h"

#include "runtime/memory_access.h"

namespace {

// No service takes more; a larger count is a bad call, not an array to walk.
constexpr int32_t kMostArguments = 16;

}  // namespace

DispatchCall::DispatchCall(int32_t* result, void* const* args, int32_t argc)
    : result_(result),
      args_(args),
      argc_(argc),
      args_readable_(argc > 0 && argc <= kMostArguments &&
                     is_readable_memory(args, static_cast<size_t>(argc) * sizeof(void*)))
{
}

const void* DispatchCall::value_address(int32_t index, size_t size) const
{
    if (!args_readable_ || index < 0 || index >= argc_)
        return nullptr;
    const void* at = args_[index];
    return is_readable_memory(at, size) ? at : nullptr;
}

bool DispatchCall::can_answer() const
{
    return is_writable_memory(result_, sizeof(int32_t));
}

int32_t DispatchCall::answer(int32_t value) const
{
    if (!can_answer())
        return 0;
    std::memcpy(result_, &value, sizeof value);
    return 1;
}

int32_t DispatchCall::answer(const void* address) const
{
    return answer(static_cast<int32_t>(reinterpret_cast<intptr_t>(address)));
}
