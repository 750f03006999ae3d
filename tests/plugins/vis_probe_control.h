// The control block of vis_probe, the scriptable Winamp visualization plug-in of the
// tests. A test loads the same vis_probe.dll, sets the block through probe_control() before
// the wrapper loads it, and reads back what the plug-in recorded.
#pragma once

#include <windows.h>

#include <cstdint>

enum ProbeEntry : int32_t {
    kProbeHeader,
    kProbeModuleByIndex,
    kProbeConfig,
    kProbeInit,
    kProbeRender,
    kProbeQuit,
    kProbeEntryCount,
    kProbeNoEntry = -1,
};

enum ProbeFault : int32_t {
    kProbeNoFault,
    kProbeAccessViolation,
    kProbeDivideByZero,
    kProbeMsvcThrow,  // RaiseException 0xE06D7363, as a C++ throw out of an MSVC DLL
    kProbeStackOverflow,  // unbounded recursion
    kProbeEndlessLoop,    // never returns; only ending the thread stops it
};

// What module_by_index hands out.
enum ProbeModulePointer : int32_t {
    kProbeRealModule,
    kProbeReadOnlyModule,    // the plug-in's own code: readable, not writable, junk fields
    kProbeUnreadableModule,  // memory with no access at all
};

// What the header's module_by_index field holds.
enum ProbeModuleFunction : int32_t {
    kProbeRealFunction,
    kProbeNullFunction,
    kProbeGarbageFunction,  // an address in memory with no access
};

// Posted by init to the drawing window, whose procedure then raises window_fault.
constexpr UINT kProbeFaultMessage = WM_APP + 0x2A;

enum ProbeDrawingWindow : int32_t {
    kProbeNoDrawingWindow,
    kProbeChildWindow,     // child of the frame when one was given, else of the module's parent
    kProbeTopLevelWindow,
};

constexpr int kProbeMaxModules = 4;
constexpr int kProbeMaxRequests = 16;
constexpr int kProbeMaxCalls = 2048;
constexpr int kProbeMaxWindowMessages = 1024;

struct ProbeCall {
    int32_t entry;
    int32_t module;  // number of the module, -1 for the header function
    intptr_t argument;
    DWORD thread_id;
    int32_t clock;
    HWND parent;     // the module's parent field, or the header function's argument
    int32_t sample_rate;
    int32_t channel_count;
    // Points 0 and 288 of each row as the call found them in the module.
    uint8_t spectrum_seen[2][2];
    int8_t waveform_seen[2][2];
};

struct ProbeWindowMessage {
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
};

// The record handed to the embed-window function (message 505).
struct ProbeEmbedRecord {
    HWND window;
    int32_t reserved;
    RECT window_rect;
};

constexpr LONG kProbeMaxDetachedThreads = 64;

// What a Winamp 5 SDK plug-in got from its host's services.
constexpr int kProbeSdkText = 64;
enum ProbeSdkService : int32_t {
    kProbeSdkLanguage = 1,
    kProbeSdkApplication = 2,
    kProbeSdkSyscb = 4,
};

struct ProbeSdkRecord {
    int32_t services_found;        // ProbeSdkService bits, looked up by value
    HINSTANCE language_instance;   // StartLanguageSupport's answer
    HINSTANCE own_instance;
    // Strings taken with no buffer of the plug-in's own and used at once.
    char text[kProbeSdkText];
    wchar_t wide_text[kProbeSdkText];
    wchar_t formatted[kProbeSdkText];
    wchar_t missing_then_text[kProbeSdkText];
    int32_t menu_items[2];         // ANSI, wide
    int32_t accelerators_loaded;   // one bit each: number ANSI, number wide, name by the wide call
    // The options dialog made modeless, ANSI and wide: the skin option's state and the wide
    // label's text right after creation.
    int32_t skin_option_enabled[2];
    int32_t fullscreen_option_enabled[2];
    wchar_t wide_label[kProbeSdkText];
    INT_PTR modal_results[2];      // dialogs that end at once, ANSI and wide
    // The application's mouse-wheel call and the callback call, whose fallbacks when
    // unanswered are TRUE and -1.
    BOOL mouse_wheel_result;
    int32_t callback_result;
    // The playlist title copied without a look at the answer.
    char title[kProbeSdkText];
    wchar_t wide_title[kProbeSdkText];
    // The modal dialog that render keeps open until it is cancelled.
    volatile LONG kept_dialog_open;
    INT_PTR kept_dialog_result;
};

// A plug-in that draws on a worker thread of its own: init waits until the worker is
// ready, render hands the frame's data over and waits until the worker is done with it,
// and the worker asks the main window, with plain SendMessage, the requests below before
// it says so; quit joins the worker while it is inside one more request. The probe's
// waits are bounded so that a deadlock shows as a count instead of hanging the test.
constexpr int kProbeWorkerRequests = 5;  // 104, 125, 105 (0), 124, then a WM_COMMAND
constexpr WPARAM kProbeWorkerCommand = 40046;

struct ProbeWorkerRecord {
    volatile LONG frames_taken;
    volatile LONG requests_sent;
    // Waits that ran out: init's for the worker, render's and quit's for it.
    volatile LONG init_wait_expired;
    volatile LONG render_waits_expired;
    volatile LONG quit_wait_expired;
    LRESULT answers[kProbeWorkerRequests];  // of the last frame
    DWORD longest_request_ms;
    DWORD thread_id;
};

struct ProbeControl {
    // What the plug-in is.
    int32_t module_count = 1;
    int32_t waveform_channels = 2;
    int32_t spectrum_channels = 2;
    int32_t frame_delay = 10;
    int32_t has_config = 1;
    int32_t has_quit = 1;
    int32_t header_returns_null = 0;
    // Left as the thread's last error by the header function before it returns or faults.
    DWORD header_last_error = 0;
    int32_t module_by_index_returns_null = 0;
    int32_t init_failures = 0;  // init fails this many times, then succeeds
    int32_t render_result = 0;
    char module_description[32] = {};  // when empty: "vis_probe module N"
    ProbeFault faults[kProbeEntryCount] = {};
    int32_t hang_ms[kProbeEntryCount] = {};

    // Winamp WM_USER requests sent to the parent from the first call of one entry.
    int32_t requests_from = kProbeNoEntry;
    int32_t requests_late = 0;  // from init: after its windows are made, not first
    int32_t request_count = 0;
    LPARAM request_codes[kProbeMaxRequests] = {};
    WPARAM request_wparams[kProbeMaxRequests] = {};
    LRESULT request_answers[kProbeMaxRequests] = {};
    volatile LONG requests_done = 0;

    // Windows made from the first init that succeeds.
    int32_t ask_embed_window = 0;
    ProbeEmbedRecord embed_record = {};
    HWND embed_window = nullptr;  // what the embed-window function returned
    int32_t drawing_window = kProbeNoDrawingWindow;
    HWND vis_window = nullptr;
    // A box owned by the parent, once, from the first call of that entry (for init: before
    // a failure is returned, as plug-ins do that find no frame).
    int32_t message_box_from = kProbeNoEntry;
    int32_t message_box_result = 0;

    // What happened.
    volatile LONG call_count = 0;
    volatile LONG calls_reserved = 0;
    ProbeCall calls[kProbeMaxCalls] = {};
    volatile LONG window_message_count = 0;
    ProbeWindowMessage window_messages[kProbeMaxWindowMessages] = {};

    // Faults outside the entries. The window fault needs a drawing window.
    ProbeFault window_fault = kProbeNoFault;
    volatile LONG window_fault_reached = 0;
    int32_t module_pointer = kProbeRealModule;
    int32_t module_function = kProbeRealFunction;
    int32_t header_unreadable = 0;  // the header function returns an address with no access

    // The message of each request, 0 for WM_USER (WM_COMMAND takes wparam and lparam as
    // given), and the ticks each SendMessageA took.
    UINT request_messages[kProbeMaxRequests] = {};
    DWORD request_ms[kProbeMaxRequests] = {};

    // Habits of real plug-ins, from the first init that succeeds.
    // The drawing window cannot take a position or size message from its creation until
    // init returns: one that arrives then is counted and raises this fault.
    ProbeFault early_position_fault = kProbeNoFault;
    volatile LONG early_position_messages = 0;
    // And the first one that arrives once init has returned raises this one (counted as a
    // window fault reached).
    ProbeFault late_position_fault = kProbeNoFault;
    int32_t draws_through_dc = 0;  // render paints the drawing window through GetDC only
    int32_t shows_itself = 0;      // init's last step shows the frame, or its own window
    int32_t opens_dialog = 0;      // init opens a dialog of its own, left open until quit
    HWND dialog_window = nullptr;
    volatile LONG frames_painted = 0;
    RECT parent_rect_at_init = {};  // where the main window lay when the first init began

    // Threads that left through ExitThread (TerminateThread notifies no DLL), the first ones.
    volatile LONG threads_detached = 0;
    DWORD detached_thread_ids[kProbeMaxDetachedThreads] = {};

    int32_t worker_thread = 0;
    ProbeWorkerRecord worker = {};

    // A Winamp 5 SDK plug-in: the header function looks its services up, init takes its
    // strings, menus, accelerators and dialogs through them, render copies the title.
    int32_t sdk_plugin = 0;
    int32_t sdk_keeps_modal_dialog = 0;  // the first render runs a modal dialog until cancelled
    ProbeSdkRecord sdk = {};

    // A plug-in slow to its first picture: render paints through the DC (draws_through_dc)
    // only once this many milliseconds have passed since the init that succeeded last.
    int32_t draws_after_ms = 0;
    // Threads of the plug-in's own. A faulting worker (ProbeWorkerFault) is started by the
    // first render, which waits for it, or else by init, and then it faults once render has
    // run three times.
    int32_t worker_fault = 0;
    int32_t render_waits_for_worker = 0;
    int32_t worker_through_crt = 0;  // the worker is started with _beginthreadex
    // Init starts a worker that sees quit and runs on this long after it.
    int32_t worker_outlives_quit_ms = 0;
    volatile LONG worker_started = 0;
    DWORD worker_thread_id = 0;
    volatile LONG worker_fault_clock = -1;  // clock() right before the worker's fault
    volatile LONG worker_ended = 0;         // the worker that outlived quit returned
};

enum ProbeWorkerFault : int32_t {
    kProbeWorkerNoFault,
    kProbeWorkerMadeUpAddress,  // a write to an address nothing is mapped at
    kProbeWorkerJumpToNoCode,   // a call into memory with no access
    kProbeWorkerStackOverflow,
};

using ProbeControlFunction = ProbeControl*(__cdecl*)();
