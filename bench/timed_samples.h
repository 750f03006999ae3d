// Times one operation call by call on the performance counter.
#pragma once

#include "bench/qpc_clock.h"

#include <vector>

// Runs prepare(i) untimed and then operation(i) timed, count times, and appends each
// operation's duration in nanoseconds.
template <typename Prepare, typename Operation>
void time_each_call(int count, std::vector<double>* samples_ns, Prepare prepare,
                    Operation operation)
{
    for (int i = 0; i < count; ++i) {
        prepare(i);
        const int64_t start = qpc_now();
        operation(i);
        samples_ns->push_back(qpc_to_ns(qpc_now() - start));
    }
}
