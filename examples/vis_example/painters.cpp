#include "painters.h"

#include <algorithm>

namespace {

constexpr int kWinampRows = 2;  // the host's arrays hold two channels at most

// Fills without creating a brush: an opaque text output of no characters.
void fill(HDC dc, const RECT& area, COLORREF colour)
{
    SetBkColor(dc, colour);
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &area, nullptr, 0, nullptr);
}

void fill_background(const BackBuffer& buffer, COLORREF colour)
{
    fill(buffer.dc(), {0, 0, buffer.width(), buffer.height()}, colour);
}

}  // namespace

void paint_spectrum(const BackBuffer& buffer, const VisSettings& settings,
                    const uint8_t* levels, const int* peaks, int bar_count)
{
    if (!buffer.dc())
        return;
    fill_background(buffer, settings.background_colour);
    for (int bar = 0; bar < bar_count; ++bar) {
        const PixelRect body =
            bar_rect(bar, bar_count, levels[bar], buffer.width(), buffer.height());
        fill(buffer.dc(), {body.left, body.top, body.right, body.bottom}, settings.bar_colour);
        if (peaks[bar] <= 0)
            continue;
        const PixelRect peak =
            bar_rect(bar, bar_count, peaks[bar], buffer.width(), buffer.height());
        fill(buffer.dc(), {peak.left, peak.top, peak.right, peak.top + kPeakThickness},
             settings.peak_colour);
    }
}

void paint_scope(const BackBuffer& buffer, const VisSettings& settings,
                 const uint8_t (*waveform)[kSpectrumPoints], int channels)
{
    if (!buffer.dc())
        return;
    fill_background(buffer, settings.background_colour);
    channels = std::clamp(channels, 0, kWinampRows);
    HPEN pen = CreatePen(PS_SOLID, 1, settings.wave_colour);
    if (!pen)
        return;
    const HGDIOBJ original_pen = SelectObject(buffer.dc(), pen);
    for (int channel = 0; channel < channels; ++channel) {
        const Band band = scope_band(channel, channels, buffer.height());
        POINT points[kSpectrumPoints];
        for (int i = 0; i < kSpectrumPoints; ++i) {
            const auto sample = static_cast<int8_t>(waveform[channel][i]);
            points[i] = {scope_x(i, buffer.width()), scope_y(sample, band)};
        }
        Polyline(buffer.dc(), points, kSpectrumPoints);
    }
    SelectObject(buffer.dc(), original_pen);
    DeleteObject(pen);
}
