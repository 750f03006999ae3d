#include "emulation/park_miller.h"

int32_t park_miller_next(int32_t state)
{
    // Split the state at bit 16 so both products fit in 32 bits, then fold the part of
    // 16807 * state above bit 31 back in, since 2^31 = 1 (mod 2^31 - 1).
    const uint32_t lo = 16807u * static_cast<uint32_t>(state & 0xFFFF);
    const uint32_t hi = static_cast<uint32_t>(16807 * (state >> 16));
    uint32_t next = lo + ((hi & 0x7FFFu) << 16) + (hi >> 15);
    if (next > 0x7FFFFFFFu)
        next -= 0x7FFFFFFFu;
    return static_cast<int32_t>(next);
}
