#include "runtime/audio_resample.h"

#include "runtime/resample_steps.h"

#include <cpuid.h>

namespace {

int rows_to_fill(int32_t channels)
{
    return channels < 0 ? 0 : channels > 2 ? 2 : channels;
}

// The state components the system saves on a thread switch (XGETBV 0); the instruction is
// spelt out so that this file needs no processor beyond i686.
uint32_t saved_state_components()
{
    uint32_t low, high;
    __asm__ volatile(".byte 0x0f, 0x01, 0xd0" : "=a"(low), "=d"(high) : "c"(0));
    return low;
}

bool processor_runs_avx2()
{
    unsigned a, b, c, d;
    if (!__get_cpuid(1, &a, &b, &c, &d) || !(c & bit_OSXSAVE) || !(c & bit_AVX))
        return false;
    // The system must save the SSE and AVX registers, or their upper halves are lost.
    if ((saved_state_components() & 6u) != 6u)
        return false;
    return __get_cpuid_count(7, 0, &a, &b, &c, &d) && (b & bit_AVX2);
}

} // namespace

bool processor_runs(ResamplePath path)
{
    static const bool avx2 = processor_runs_avx2();
    return path == ResamplePath::sse2 || avx2;
}

void resample_audio_on(ResamplePath path, const uint8_t waveform[2 * kWaveformInputLength],
                       const uint8_t spectrum[2 * kSpectrumInputLength], int32_t waveform_channels,
                       int32_t spectrum_channels, uint8_t waveform_out[2 * kModulePointCount],
                       uint8_t spectrum_out[2 * kModulePointCount])
{
    const auto rows = path == ResamplePath::avx2 ? resample_rows_avx2 : resample_rows_sse2;
    rows(waveform, spectrum, rows_to_fill(waveform_channels), rows_to_fill(spectrum_channels),
         waveform_out, spectrum_out);
}

void resample_audio(const uint8_t waveform[2 * kWaveformInputLength],
                    const uint8_t spectrum[2 * kSpectrumInputLength], int32_t waveform_channels,
                    int32_t spectrum_channels, uint8_t waveform_out[2 * kModulePointCount],
                    uint8_t spectrum_out[2 * kModulePointCount])
{
    static const ResamplePath widest =
        processor_runs(ResamplePath::avx2) ? ResamplePath::avx2 : ResamplePath::sse2;
    resample_audio_on(widest, waveform, spectrum, waveform_channels, spectrum_channels,
                      waveform_out, spectrum_out);
}
