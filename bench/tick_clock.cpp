#include "bench/tick_clock.h"

#include "bench/qpc_clock.h"

#include <algorithm>
#include <ctime>
#include <vector>

static_assert(CLOCKS_PER_SEC == 1000, "clock() counts milliseconds");

TickClock calibrate_tick_clock()
{
    constexpr int kTurns = 20;
    // Each turn is seen at the first reading after it: start_ns plus how long the reading
    // came late, so the earliest is the closest.
    std::vector<double> starts;
    int32_t last = static_cast<int32_t>(clock());
    while (starts.size() < kTurns) {
        const int32_t tick = static_cast<int32_t>(clock());
        const int64_t now = qpc_now();
        if (tick != last)
            starts.push_back(qpc_to_ns(now) - tick * 1e6);
        last = tick;
    }
    const auto [earliest, latest] = std::minmax_element(starts.begin(), starts.end());
    return {*earliest, *latest - *earliest};
}
