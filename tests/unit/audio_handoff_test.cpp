// The player's audio on its way to the module: Render stages it on the player's thread and
// the render thread's next pass hands it to the module's arrays.
#include "host/plugin_object.h"
#include "runtime/audio_resample.h"
#include "tests/support/probe_run_fixture.h"

#include <cstring>

namespace {

constexpr size_t kSpectrumOffset = 8;
constexpr size_t kWaveformOffset = kSpectrumOffset + 2 * kSpectrumInputLength;
constexpr size_t kVisualDataSize = kWaveformOffset + 2 * kWaveformInputLength;

// One frame of the player's data, every row holding a ramp of its own.
struct PlayerFrame {
    uint8_t bytes[kVisualDataSize] = {};

    PlayerFrame(uint8_t waveform_base, uint8_t spectrum_base)
    {
        for (int row = 0; row < 2; ++row) {
            for (int i = 0; i < kSpectrumInputLength; ++i)
                bytes[kSpectrumOffset + row * kSpectrumInputLength + i] =
                    static_cast<uint8_t>(spectrum_base + 40 * row + i / 4);
            for (int i = 0; i < kWaveformInputLength; ++i)
                bytes[kWaveformOffset + row * kWaveformInputLength + i] =
                    static_cast<uint8_t>(waveform_base + 60 * row + i / 8);
        }
    }

    // Points 0 and 288 of each row as a module with all rows wanted must see them.
    ProbeCall expected() const
    {
        uint8_t waveform_out[2 * kModulePointCount] = {};
        uint8_t spectrum_out[2 * kModulePointCount] = {};
        resample_audio(bytes + kWaveformOffset, bytes + kSpectrumOffset, 2, 2, waveform_out,
                       spectrum_out);
        ProbeCall call = {};
        for (int row = 0; row < 2; ++row) {
            for (int point = 0; point < 2; ++point) {
                const int index = row * kModulePointCount + point * 288;
                call.spectrum_seen[row][point] = spectrum_out[index];
                call.waveform_seen[row][point] = static_cast<int8_t>(waveform_out[index]);
            }
        }
        return call;
    }
};

bool same_rows(const ProbeCall& seen, const ProbeCall& wanted, bool waveform, int row)
{
    return waveform ? memcmp(seen.waveform_seen[row], wanted.waveform_seen[row], 2) == 0
                    : memcmp(seen.spectrum_seen[row], wanted.spectrum_seen[row], 2) == 0;
}

class AudioHandOff : public ProbeRunFixture {
protected:
    void SetUp() override
    {
        ProbeRunFixture::SetUp();
        dc_ = CreateCompatibleDC(nullptr);
        ASSERT_NE(dc_, nullptr);
    }

    void TearDown() override
    {
        ProbeRunFixture::TearDown();
        DeleteDC(dc_);
    }

    // Renders the frame and returns how many render calls the module had by then.
    size_t render(const PlayerFrame& frame)
    {
        Render(&g_visual_plugin_object, dc_, frame.bytes);
        return count(kProbeRender);
    }

    // The render call two passes on: the pass that was converting while the frame was
    // staged may still show the earlier data, the next one may not.
    ProbeCall second_render_after(size_t renders_before)
    {
        EXPECT_TRUE(wait_for_calls(kProbeRender, renders_before + 2));
        return probe_.calls(kProbeRender)[renders_before + 1];
    }

    HDC dc_ = nullptr;
};

TEST_F(AudioHandOff, ModuleSeesTheStagedFrameByTheSecondRenderAfterIt)
{
    start_render_thread(kRenderRun);
    ASSERT_TRUE(wait_for_calls(kProbeRender, 1));

    for (uint8_t base : {10, 90, 170}) {
        const PlayerFrame frame(base, base + 30);
        const ProbeCall seen = second_render_after(render(frame));
        const ProbeCall wanted = frame.expected();
        for (int row = 0; row < 2; ++row) {
            EXPECT_TRUE(same_rows(seen, wanted, true, row)) << int(base) << " row " << row;
            EXPECT_TRUE(same_rows(seen, wanted, false, row)) << int(base) << " row " << row;
        }
    }
}

TEST_F(AudioHandOff, OnlyTheRowsTheChannelCountsAskForChange)
{
    probe_.control().waveform_channels = 1;
    probe_.control().spectrum_channels = 0;
    start_render_thread(kRenderRun);
    ASSERT_TRUE(wait_for_calls(kProbeRender, 1));

    const PlayerFrame frame(50, 60);
    const ProbeCall seen = second_render_after(render(frame));
    EXPECT_TRUE(same_rows(seen, frame.expected(), true, 0));
    const ProbeCall untouched = {};
    EXPECT_TRUE(same_rows(seen, untouched, true, 1));
    EXPECT_TRUE(same_rows(seen, untouched, false, 0));
    EXPECT_TRUE(same_rows(seen, untouched, false, 1));
}

TEST_F(AudioHandOff, SpectrumOnlyModuleStagesOnlyTheSpectrum)
{
    probe_.control().waveform_channels = 0;
    start_render_thread(kRenderRun);
    ASSERT_TRUE(wait_for_calls(kProbeRender, 1));

    EnterCriticalSection(&g_state.audio_lock);
    memset(g_state.waveform_staging, 0x5A, sizeof g_state.waveform_staging);
    LeaveCriticalSection(&g_state.audio_lock);
    const PlayerFrame frame(50, 60);
    render(frame);

    EnterCriticalSection(&g_state.audio_lock);
    EXPECT_EQ(g_state.waveform_staging[0], 0x5A);
    EXPECT_EQ(g_state.waveform_staging[sizeof g_state.waveform_staging - 1], 0x5A);
    EXPECT_EQ(memcmp(g_state.spectrum_staging, frame.bytes + kSpectrumOffset,
                     sizeof g_state.spectrum_staging),
              0);
    LeaveCriticalSection(&g_state.audio_lock);
}

TEST_F(AudioHandOff, WithoutANewFrameTheModuleKeepsTheLastOne)
{
    start_render_thread(kRenderRun);
    ASSERT_TRUE(wait_for_calls(kProbeRender, 1));
    const PlayerFrame frame(20, 30);
    const size_t before = render(frame);
    second_render_after(before);

    // New bytes in the staging buffers without the pending flag are not taken.
    EnterCriticalSection(&g_state.audio_lock);
    memset(g_state.waveform_staging, 0x11, sizeof g_state.waveform_staging);
    memset(g_state.spectrum_staging, 0x22, sizeof g_state.spectrum_staging);
    LeaveCriticalSection(&g_state.audio_lock);
    const ProbeCall later = second_render_after(count(kProbeRender));
    const ProbeCall wanted = frame.expected();
    for (int row = 0; row < 2; ++row) {
        EXPECT_TRUE(same_rows(later, wanted, true, row));
        EXPECT_TRUE(same_rows(later, wanted, false, row));
    }
}

TEST_F(AudioHandOff, NothingIsStagedAfterTheRunEndedByItself)
{
    probe_.control().render_result = 1;
    start_render_thread(kRenderRun);
    ASSERT_TRUE(wait_until([] { return is_render_thread_running() == 0; }, 20000));

    g_state.data_pending = 0;
    render(PlayerFrame(1, 2));
    EXPECT_EQ(g_state.render_thread, nullptr);
    EXPECT_EQ(g_state.data_pending, 0);
}

}  // namespace

namespace {

std::wstring title_of(HWND window)
{
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

// The synchronisation on the render thread brings the player's track title and sample
// rate to the emulated main window and the module while the run goes on.
TEST_F(AudioHandOff, PlayersTitleAndRateReachTheRunningModule)
{
    player_.set_title(L"*** Tune of the day");
    player_.set_sample_rate_khz(48);
    start_render_thread(kRenderRun);
    ASSERT_TRUE(wait_until(
        [&] {
            const std::vector<ProbeCall> renders = probe_.calls(kProbeRender);
            return !renders.empty() && renders.back().sample_rate == 42666;
        },
        20000));
    EXPECT_EQ(title_of(g_state.parent_window), L"Tune of the day");
}

}  // namespace
