#include "emulation/player_mirror.h"

const wchar_t* title_to_mirror(wchar_t (&buffer)[kTitleCapacity])
{
    buffer[kTitleCapacity - 1] = L'\0';
    const bool prefixed =
        buffer[0] == L'*' && buffer[1] == L'*' && buffer[2] == L'*' && buffer[3] == L' ';
    return prefixed ? buffer + 4 : buffer;
}

int32_t sample_rate_from_khz(int32_t khz)
{
    const uint32_t value = static_cast<uint32_t>(khz);
    if (khz <= 45)
        return static_cast<int32_t>(value * 1002273u) / 1000;
    return static_cast<int32_t>(value * 1000u);
}
