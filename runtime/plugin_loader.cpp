#include "runtime/plugin_loader.h"

#include "emulation/emulated_windows.h"
#include "host/path_text.h"
#include "host/wrapper_state.h"
#include "runtime/exception_guard.h"
#include "runtime/load_error_box.h"
#include "runtime/load_error_text.h"
#include "runtime/memory_access.h"
#include "runtime/module_sample_rate.h"
#include "runtime/plugin_threads.h"
#include "runtime/winamp_vis.h"

#include <atomic>
#include <cstdio>
#include <cstring>

namespace {

// The module whose quit entry has been entered and has not finished its unload.
std::atomic<WinampVisModule*> g_quitting_module{nullptr};

// What the load of the active module added to the wanted-channel counters; taken back
// once, by whichever unload comes first.
std::atomic<uint8_t> g_added_waveform{0};
std::atomic<uint8_t> g_added_spectrum{0};

// Every error-mode bit but the top one: no critical-error, fault or open-file boxes.
constexpr UINT kQuietErrorMode = 0x7FFFFFFF;
// The quiet mode of the second attempt when no errors are to be shown.
constexpr UINT kQuietRetryErrorMode = 0x07FFFFFF;

// The DLL's own dependencies are looked for next to it first; a dependency missing there
// (126) gets one more attempt with the standard search order. A load that gave a handle
// has succeeded, even when something inside it looked for a module in vain and left 126:
// loading again would run the plug-in's DLL entry, and every cost of a load, twice.
HMODULE load_library(bool show_errors)
{
    begin_plugin_load();
    HMODULE library = LoadLibraryExA(g_state.plugin_path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!library && GetLastError() == ERROR_MOD_NOT_FOUND) {
        const UINT retry_mode = SetErrorMode(show_errors ? 0 : kQuietRetryErrorMode);
        library = LoadLibraryExA(g_state.plugin_path, nullptr, 0);
        SetErrorMode(retry_mode);
    }
    if (library)
        note_plugin_library(library);
    return library;
}

WinampVisGetHeaderFunction find_header_function(bool show_errors)
{
    if (!file_opens_for_reading(g_state.plugin_path))
        return nullptr;
    const UINT saved_mode = SetErrorMode(kQuietErrorMode);
    g_state.plugin_library = load_library(show_errors);
    WinampVisGetHeaderFunction header_function = nullptr;
    if (g_state.plugin_library)
        header_function = reinterpret_cast<WinampVisGetHeaderFunction>(reinterpret_cast<void*>(
            GetProcAddress(g_state.plugin_library, "winampVisGetHeader")));
    SetErrorMode(saved_mode);
    return header_function;
}

struct HeaderOutcome {
    WinampVisHeader* header = nullptr;
    DWORD error_code = 0;
    // The function returned (no exception) but gave no header. With no error code left
    // either, the system's text for 0 would read as success, so the box says so plainly.
    bool returned_nothing = false;
};

// The plug-in gets a main window for the call, made here for the moment when no run has
// one, and removed again whatever the call did.
HeaderOutcome call_header_function(WinampVisGetHeaderFunction header_function)
{
    const bool temporary_window = !g_state.parent_window;
    if (temporary_window)
        create_parent_window();

    HeaderOutcome outcome;
    const GuardedResult call = call_guarded(header_function, g_state.parent_window.load());
    if (call.faulted) {
        outcome.error_code = call.last_error;
    } else {
        const DWORD left_error = GetLastError();
        outcome.header = reinterpret_cast<WinampVisHeader*>(call.value);
        // A header the wrapper cannot read counts as none: reading it would fault here,
        // outside the guard.
        if (!is_readable_memory(outcome.header, sizeof *outcome.header))
            outcome.header = nullptr;
        if (!outcome.header) {
            outcome.error_code = left_error;
            outcome.returned_nothing = true;
        }
    }

    if (temporary_window) {
        destroy_parent_window();
        UnregisterClassA(kParentWindowClass, nullptr);
    }
    return outcome;
}

WinampVisModule* module_numbered(WinampVisHeader* header, int32_t index)
{
    if (!header->module_by_index)
        return nullptr;
    const GuardedResult call = call_guarded(header->module_by_index, index);
    auto* module = reinterpret_cast<WinampVisModule*>(call.value);
    // The wrapper writes into the record at once and the plug-in's entries write into it
    // all along: a record in memory that is not writable is no module.
    if (call.faulted || !is_writable_memory(module, sizeof *module))
        return nullptr;
    return module;
}

void prepare_module(WinampVisModule* module)
{
    module->instance = g_state.plugin_library;
    module->channel_count = 2;
    module->sample_rate = module_sample_rate(g_state.sample_rate_hz);
    memset(module->waveform_samples, 0, sizeof module->waveform_samples);
    memset(module->spectrum_values, 0, sizeof module->spectrum_values);
    // Only the low byte counts. The unload takes back what was added here, not what the
    // record says then: a plug-in may change its counts while it runs.
    g_added_waveform = static_cast<uint8_t>(module->waveform_channels);
    g_added_spectrum = static_cast<uint8_t>(module->spectrum_channels);
    g_state.waveform_wanted += g_added_waveform.load();
    g_state.spectrum_wanted += g_added_spectrum.load();
}

// detail: what to say when error_code is 0; without it the thread's last error is shown.
int32_t fail_load(bool show_errors, DWORD error_code, const char* detail)
{
    if (g_state.plugin_library) {
        release_plugin_library(g_state.plugin_library);
        g_state.plugin_library = nullptr;
    }
    if (!show_errors || g_state.plugin_path[0] == '\0')
        return 0;
    if (error_code == 0 && !detail)
        error_code = GetLastError();
    show_load_error(error_code, detail);
    return 0;
}

}  // namespace

int32_t load_winamp_plugin(int32_t show_errors, int32_t probe_only)
{
    WinampVisGetHeaderFunction header_function = nullptr;
    if (g_state.plugin_path[0] != '\0')
        header_function = find_header_function(show_errors != 0);
    if (!g_state.plugin_library || !header_function)
        return fail_load(show_errors != 0, GetLastError(), nullptr);

    const HeaderOutcome outcome = call_header_function(header_function);
    WinampVisHeader* header = outcome.header;
    if (!header)
        return fail_load(show_errors != 0, outcome.error_code,
                         outcome.returned_nothing ? kNoHeaderText : nullptr);

    if (probe_only) {
        release_plugin_library(g_state.plugin_library);
        g_state.plugin_library = nullptr;
        return 1;
    }

    WinampVisModule* module = module_numbered(header, g_state.module_index);
    if (!module && g_state.module_index != 0) {
        g_state.module_index = 0;
        module = module_numbered(header, 0);
    }
    if (!module)
        return 0;
    prepare_module(module);
    g_state.active_module = module;
    return 1;
}

int32_t probe_winamp_plugin(int32_t show_errors)
{
    return load_winamp_plugin(show_errors, 1) != 0 ? 1 : 0;
}

void unload_winamp_plugin()
{
    WinampVisModule* module = g_state.active_module;
    if (module) {
        // A run ended by force inside the quit entry is torn down again by the stopping
        // thread, which must not make the module quit a second time.
        // A record the plug-in has made unreadable since the load gives no quit entry.
        if (is_readable_memory(module, sizeof *module) && module->quit_entry &&
            g_quitting_module.exchange(module) != module)
            call_guarded(module->quit_entry, module);
        g_state.waveform_wanted -= g_added_waveform.exchange(0);
        g_state.spectrum_wanted -= g_added_spectrum.exchange(0);
    }
    g_state.active_module = nullptr;
    g_quitting_module = nullptr;
    // The record lives in the plug-in's memory, which goes with the library.
    g_state.embed_state = nullptr;
    if (g_state.plugin_library) {
        release_plugin_library(g_state.plugin_library);
        g_state.plugin_library = nullptr;
    }
}
