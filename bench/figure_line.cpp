#include "bench/figure_line.h"

#include <cmath>
#include <cstdio>

FigureLine::FigureLine(const std::string& figure) : json_("{\"figure\": \"" + figure + "\"") {}

FigureLine& FigureLine::value(const std::string& key, double number)
{
    char text[64];
    if (std::isfinite(number))
        snprintf(text, sizeof text, "%.6g", number);
    else
        snprintf(text, sizeof text, "null");
    json_ += ", \"" + key + "\": " + text;
    return *this;
}

FigureLine& FigureLine::summary(const std::string& key, const Summary& summary)
{
    const bool empty = summary.count == 0;
    value(key + "_p50", empty ? NAN : summary.p50);
    value(key + "_p99", empty ? NAN : summary.p99);
    value(key + "_mean", empty ? NAN : summary.mean);
    return value(key + "_count", static_cast<double>(summary.count));
}

void FigureLine::print() const
{
    printf("BENCH %s}\n", json_.c_str());
    fflush(stdout);
}
