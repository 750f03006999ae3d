#include "drawing_rules.h"

#include <algorithm>

namespace {

// The first bin of bar `bar`; bar_count gives kSpectrumPoints.
int bar_edge(int bar, int bar_count)
{
    const int quadratic = kSpectrumPoints * bar * bar / (bar_count * bar_count);
    // Below the crossing the quadratic edges lie closer than one bin: one bin each there.
    return std::max(bar, quadratic);
}

}  // namespace

BinRange bar_bins(int bar, int bar_count)
{
    return {bar_edge(bar, bar_count), bar_edge(bar + 1, bar_count)};
}

void bar_levels(const uint8_t (*spectrum)[kSpectrumPoints], int channels, int bar_count,
                uint8_t* levels)
{
    channels = std::clamp(channels, 0, 2);
    for (int bar = 0; bar < bar_count; ++bar) {
        const BinRange bins = bar_bins(bar, bar_count);
        int loudest = 0;
        for (int bin = bins.first; bin < bins.end; ++bin) {
            int sum = 0;
            for (int channel = 0; channel < channels; ++channel)
                sum += spectrum[channel][bin];
            loudest = std::max(loudest, channels ? sum / channels : 0);
        }
        levels[bar] = static_cast<uint8_t>(loudest);
    }
}

int next_peak(int peak, int level, int falloff)
{
    return std::max(level, peak - falloff);
}

PixelRect bar_rect(int bar, int bar_count, int level, int width, int height)
{
    const int left = bar * width / bar_count;
    int right = (bar + 1) * width / bar_count;
    if (right - left >= 3)
        --right;  // the gap to the next bar
    const int bar_height = level * height / 255;
    return {left, height - bar_height, right, height};
}

Band scope_band(int channel, int channels, int height)
{
    if (channels <= 1)
        return {0, height};
    const int top = channel * height / channels;
    return {top, (channel + 1) * height / channels - top};
}

int scope_x(int index, int width)
{
    return index * (width - 1) / (kSpectrumPoints - 1);
}

int scope_y(int8_t sample, const Band& band)
{
    return band.top + (127 - sample) * std::max(band.height - 1, 0) / 255;
}
