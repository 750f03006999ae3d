// The C runtime's clock(), which the wrapper's render loop paces itself by, placed on the
// performance counter's scale, so that the moment a frame fell due can be named in
// nanoseconds.
#pragma once

#include <cstdint>

struct TickClock {
    // clock() reads tick t from start_ns + t * 1 ms on.
    double start_ns = 0;
    // How far the tick starts seen while calibrating stray from that line: a clock that is
    // not linear in the counter shows here.
    double spread_ns = 0;

    double tick_start_ns(int32_t tick) const { return start_ns + tick * 1e6; }
};

// Watches clock() turn over for about 20 ms.
TickClock calibrate_tick_clock();
