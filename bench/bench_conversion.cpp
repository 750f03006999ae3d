// convert_audio_data, the render thread's per-frame conversion, called directly: ns per
// frame for two waveform and two spectrum rows, against a plain copy of the same 2304
// output bytes, and its resampling alone to show where the time goes, also the SSE2 way
// that processors without AVX2 take.
#include "bench/figure_line.h"
#include "bench/sequence_code.h"
#include "bench/timed_samples.h"
#include "host/wrapper_state.h"
#include "runtime/audio_conversion.h"
#include "runtime/audio_resample.h"
#include "runtime/winamp_vis.h"

#include <cstdio>
#include <cstring>

// Outside any namespace and not static, so the compiler cannot prove the copies unused.
WinampVisModule g_bench_module;
uint8_t g_copy_source[2 * kWinampChannelRows * kWinampPoints];

namespace {

constexpr int kRounds = 40;
constexpr int kCallsPerRound = 500;

uint8_t g_frame[kFrameBytes];

// What Render would have staged for this frame.
void stage_frame(int sequence)
{
    write_sequence_frame(static_cast<uint32_t>(sequence), g_frame);
    memcpy(g_state.waveform_staging, g_frame + kFrameWaveformOffset, sizeof g_state.waveform_staging);
    memcpy(g_state.spectrum_staging, g_frame + kFrameSpectrumOffset, sizeof g_state.spectrum_staging);
    g_state.data_pending = 1;
}

uint32_t converted_sequence()
{
    return read_sequence(reinterpret_cast<const uint8_t*>(g_bench_module.waveform_samples[0]),
                         g_bench_module.spectrum_values[0]);
}

}  // namespace

int main()
{
    InitializeCriticalSection(&g_state.audio_lock);
    g_state.audio_lock_ready = true;
    g_bench_module.waveform_channels = 2;
    g_bench_module.spectrum_channels = 2;
    g_state.active_module = &g_bench_module;

    std::vector<double> timer_ns, conversion_ns, resample_ns, resample_sse2_ns, copy_ns;
    int lost_frames = 0;
    int sequence = 1;
    uint8_t waveform_out[2 * kModulePointCount];
    uint8_t spectrum_out[2 * kModulePointCount];
    // Rounds alternate so that every figure and its baseline share the machine's moods.
    for (int round = 0; round < kRounds; ++round) {
        time_each_call(kCallsPerRound, &timer_ns, [](int) {}, [](int) {});
        time_each_call(
            kCallsPerRound, &conversion_ns, [&](int) { stage_frame(++sequence); },
            [](int) { convert_audio_data(); });
        lost_frames += converted_sequence() != static_cast<uint32_t>(sequence);
        time_each_call(
            kCallsPerRound, &resample_ns, [&](int) { stage_frame(++sequence); },
            [&](int) {
                resample_audio(g_state.waveform_staging, g_state.spectrum_staging, 2, 2,
                               waveform_out, spectrum_out);
            });
        time_each_call(
            kCallsPerRound, &resample_sse2_ns, [&](int) { stage_frame(++sequence); },
            [&](int) {
                resample_audio_on(ResamplePath::sse2, g_state.waveform_staging, g_state.spectrum_staging,
                                  2, 2, waveform_out, spectrum_out);
            });
        time_each_call(
            kCallsPerRound, &copy_ns, [&](int i) { g_copy_source[i % sizeof g_copy_source] = uint8_t(i); },
            [](int) {
                memcpy(g_bench_module.spectrum_values, g_copy_source, sizeof g_bench_module.spectrum_values);
                memcpy(g_bench_module.waveform_samples, g_copy_source + sizeof g_bench_module.spectrum_values,
                       sizeof g_bench_module.waveform_samples);
            });
    }
    if (lost_frames != 0) {
        fprintf(stderr, "bench_conversion: %d rounds ended without the last staged frame in the module's arrays\n",
                lost_frames);
        return 1;
    }

    FigureLine("timer").summary("ns", summarize(timer_ns)).print();
    FigureLine("conversion")
        .summary("ns", summarize(conversion_ns))
        .summary("baseline_ns", summarize(copy_ns))
        .print();
    FigureLine("conversion_resample")
        .value("avx2", processor_runs(ResamplePath::avx2) ? 1 : 0)
        .summary("ns", summarize(resample_ns))
        .print();
    FigureLine("conversion_resample_sse2").summary("ns", summarize(resample_sse2_ns)).print();
    FigureLine("finished").print();
    return 0;
}
