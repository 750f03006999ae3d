#include "runtime/plugin_code_on_stack.h"

#include "runtime/memory_access.h"

namespace {

// The longest call form looked for: FF 94 SIB disp32, seven bytes.
constexpr size_t kLongestCall = 7;

bool is_call(const uint8_t* end, size_t available, size_t length, uint8_t first_modrm_mask,
             uint8_t modrm)
{
    if (available < length)
        return false;
    const uint8_t* start = end - length;
    return start[0] == 0xFF && (start[1] & first_modrm_mask) == modrm;
}

}  // namespace

bool follows_call_instruction(const uint8_t* before, size_t available)
{
    const uint8_t* end = before + available;
    if (available >= 5 && end[-5] == 0xE8)
        return true;
    // FF /2: call through a register or [register], with a byte or four of displacement,
    // with a SIB byte, or through an absolute address.
    return is_call(end, available, 2, 0xF8, 0xD0) ||
           (is_call(end, available, 2, 0xF8, 0x10) && end[-1] != 0x14 && end[-1] != 0x15) ||
           (is_call(end, available, 3, 0xF8, 0x50) && end[-2] != 0x54) ||
           is_call(end, available, 3, 0xFF, 0x14) || is_call(end, available, 4, 0xFF, 0x54) ||
           (is_call(end, available, 6, 0xF8, 0x90) && end[-5] != 0x94) ||
           is_call(end, available, 6, 0xFF, 0x15) || is_call(end, available, 7, 0xFF, 0x94);
}

bool plugin_code_on_stack(uintptr_t eip, const uintptr_t* esp, const uintptr_t* stack_base,
                          AddressTest in_plugin)
{
    if (in_plugin(eip))
        return true;
    for (const uintptr_t* slot = esp; slot < stack_base; ++slot) {
        const uintptr_t value = *slot;
        if (value < kLongestCall || !in_plugin(value) || !in_plugin(value - kLongestCall))
            continue;
        const auto* before = reinterpret_cast<const uint8_t*>(value - kLongestCall);
        if (is_readable_memory(before, kLongestCall) && follows_call_instruction(before, kLongestCall))
            return true;
    }
    return false;
}
