#include "runtime/module_sample_rate.h"

int32_t module_sample_rate(int32_t sample_rate_hz)
{
    const auto product = static_cast<int32_t>(static_cast<uint32_t>(sample_rate_hz) * 512u);
    return product / 576;
}
