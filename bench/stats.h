// Order statistics over measured samples: the figures every benchmark reports.
#pragma once

#include <cstddef>
#include <vector>

struct Summary {
    size_t count = 0;
    // Meaningless when count is 0.
    double p50 = 0;
    double p99 = 0;
    double mean = 0;
};

// Nearest-rank percentile: the smallest sample that at least p percent of the samples do
// not exceed. p in [0, 100]; samples must not be empty.
double percentile(std::vector<double> samples, double p);

Summary summarize(const std::vector<double>& samples);
