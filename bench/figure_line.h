// One measured figure as a line of standard output, "BENCH {json}", which scripts/bench
// collects from every benchmark program into the table and bench/results.json. A program's
// last line is the figure "finished": the emulator sometimes crashes a process on its way
// out, and the figures before that line still stand.
#pragma once

#include "bench/stats.h"

#include <string>

class FigureLine {
public:
    explicit FigureLine(const std::string& figure);

    FigureLine& value(const std::string& key, double number);
    // key_p50, key_p99, key_mean and key_count; null figures when there was no sample.
    FigureLine& summary(const std::string& key, const Summary& summary);
    void print() const;

private:
    std::string json_;
};
