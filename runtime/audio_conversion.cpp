#include "runtime/audio_conversion.h"

#include "host/wrapper_state.h"
#include "runtime/audio_resample.h"
#include "runtime/winamp_vis.h"

#include <atomic>
#include <cstring>

namespace {

std::atomic<DWORD> g_audio_lock_owner{0};

}  // namespace

void convert_audio_data()
{
    WinampVisModule* module = g_state.active_module;
    if (!module || g_state.data_pending == 0)
        return;

    // Local copies: the lock covers two block copies, the arithmetic runs after it.
    uint8_t waveform[sizeof g_state.waveform_staging];
    uint8_t spectrum[sizeof g_state.spectrum_staging];
    EnterCriticalSection(&g_state.audio_lock);
    g_audio_lock_owner = GetCurrentThreadId();
    memcpy(waveform, g_state.waveform_staging, sizeof waveform);
    memcpy(spectrum, g_state.spectrum_staging, sizeof spectrum);
    g_state.data_pending = 0;
    g_audio_lock_owner = 0;
    LeaveCriticalSection(&g_state.audio_lock);

    resample_audio(waveform, spectrum, module->waveform_channels, module->spectrum_channels,
                   reinterpret_cast<uint8_t*>(module->waveform_samples),
                   &module->spectrum_values[0][0]);
}

DWORD audio_lock_owner()
{
    return g_audio_lock_owner;
}

void recover_audio_lock_from(DWORD dead_thread_id)
{
    if (dead_thread_id == 0 || g_audio_lock_owner != dead_thread_id || !g_state.audio_lock_ready)
        return;
    // The owner is gone and the only other user is the caller, which is not inside it:
    // a fresh critical section loses nothing.
    DeleteCriticalSection(&g_state.audio_lock);
    InitializeCriticalSection(&g_state.audio_lock);
    g_audio_lock_owner = 0;
}
