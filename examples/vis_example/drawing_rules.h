// The drawing rules of both modules as plain arithmetic: which spectrum bins a bar shows,
// how its peak falls, where bars and oscilloscope points lie. No Windows types here, so
// the rules are tested on their own.
#pragma once

#include <cstdint>

constexpr int kSpectrumPoints = 576;  // values per channel that the host hands in
constexpr int kMinBars = 4;
constexpr int kMaxBars = 128;
// Rows of the mark that shows a bar's peak.
constexpr int kPeakThickness = 2;

// Bins [first, end) of one bar.
struct BinRange {
    int first;
    int end;
};

// Bar `bar` of `bar_count` (kMinBars..kMaxBars). The bins are linear in frequency and
// hearing is roughly logarithmic, so the edges grow with the square of the bar number:
// the low bars get one bin each and the high ones many. Every bar has at least one bin,
// and together they cover all 576 without overlap.
BinRange bar_bins(int bar, int bar_count);

// The level (0..255) of every bar: the loudest bin of its range, the channel rows
// (0, 1 or 2 of them) averaged. `levels` holds bar_count values.
void bar_levels(const uint8_t (*spectrum)[kSpectrumPoints], int channels, int bar_count,
                uint8_t* levels);

// A peak jumps up to a louder level and otherwise falls `falloff` levels a frame, never
// below the bar itself.
int next_peak(int peak, int level, int falloff);

struct PixelRect {
    int left;
    int top;
    int right;
    int bottom;
};

// Where bar `bar` of `bar_count` stands for `level` (0..255) in a width x height picture:
// the bars share the width, one pixel apart when they are at least three pixels wide,
// and grow up from the bottom edge. A level of 0 gives an empty rectangle.
PixelRect bar_rect(int bar, int bar_count, int level, int width, int height);

// The horizontal band of a picture `height` high in which oscilloscope channel `channel`
// of `channels` is traced: the channels stack from top to bottom.
struct Band {
    int top;
    int height;
};
Band scope_band(int channel, int channels, int height);

// The x of sample `index` (0..575) when the samples span `width` pixels, the first at 0
// and the last at width - 1.
int scope_x(int index, int width);

// The y of a sample in a band, positive upwards: 127 on the band's top row, -128 on its
// bottom row, 0 half-way.
int scope_y(int8_t sample, const Band& band);
