#include "tests/plugins/vis_probe_fuzz_actions.h"

#include "tests/plugins/vis_probe_fuzz_dispatch.h"
#include "tests/plugins/vis_probe_fuzz_memory.h"
#include "tests/plugins/vis_probe_fuzz_values.h"

#include <climits>
#include <cstdio>
#include <cstring>

namespace {

using EmbedFunction = HWND(__cdecl*)(void* record);
using RandomFunction = int32_t(__cdecl*)();

constexpr LPARAM kAnsweredCodes[] = {0,   104, 201,  334,  335,  336,  501,
                                     505, 611, 631, 2004, 3015, 3025, 3033};

struct Record {
    HWND window;
    int32_t reserved;
    RECT rect;
};

// What the run handed out so far.
EmbedFunction g_embed = nullptr;
RandomFunction g_random = nullptr;
Record g_home = {nullptr, 0, {100, 100, 420, 340}};
Record g_absurd[4] = {};
int g_next_absurd = 0;

LPARAM any_code(FuzzRandom& random)
{
    switch (random.below(5)) {
    case 0:
    case 1: return kAnsweredCodes[random.below(sizeof kAnsweredCodes / sizeof *kAnsweredCodes)];
    case 2: return 1 + random.below(4000);  // forwarded to the player
    case 3: return -1 - static_cast<LPARAM>(random.below(1000));
    default: return any_number(random);
    }
}

void take_answer(LPARAM code, WPARAM wparam, LRESULT answer)
{
    if (!answer)
        return;
    if (code == 505 && wparam == 0)
        g_embed = reinterpret_cast<EmbedFunction>(answer);
    else if (code == 3015)
        g_random = reinterpret_cast<RandomFunction>(answer);
}

void winamp_message(FuzzRandom& random, const FuzzTargets& targets, FuzzDescribe describe)
{
    HWND window = window_of(random, targets);
    const LPARAM code = any_code(random);
    const WPARAM wparam = random.one_in(3) ? 0 : any_word(random, targets);
    const bool posted = random.one_in(5);
    char text[kFuzzActionText];
    snprintf(text, sizeof text, "%s WM_USER code %ld wParam 0x%08lx to %s",
             posted ? "post" : "send", static_cast<long>(code), static_cast<unsigned long>(wparam),
             window == targets.frame ? "frame" : "main window");
    describe(kFuzzWinampMessage, text);
    if (posted)
        PostMessageA(window, WM_USER, wparam, code);
    else
        take_answer(code, wparam, SendMessageA(window, WM_USER, wparam, code));
}


LONG any_coordinate(FuzzRandom& random)
{
    static const LONG edges[] = {INT_MIN, INT_MAX, -1, 0, 49, 50, 19, 20, CW_USEDEFAULT};
    return random.one_in(2) ? edges[random.below(9)] : static_cast<LONG>(random.next());
}

void embed(FuzzRandom& random, const FuzzTargets& targets, FuzzDescribe describe)
{
    if (!g_embed && targets.frame)
        g_embed = reinterpret_cast<EmbedFunction>(SendMessageA(targets.winamp, WM_USER, 0, 505));
    if (!g_embed)
        return;
    const FuzzMemory& memory = fuzz_memory();
    void* record = nullptr;
    const char* kind = "null";
    bool protect_after = false;
    switch (random.below(7)) {
    case 0: break;
    case 1: record = memory.no_access; kind = "unreadable"; break;
    case 2: record = memory.read_only; kind = "read-only"; break;
    case 3: record = at_readable_end(8); kind = "cut off after 8 bytes"; break;
    case 4:
        // Remembered by the wrapper, then made read-only: later moves of the frame would
        // write into it.
        record = memory.protectable;
        kind = "made read-only after the call";
        protect_after = true;
        break;
    default: {
        Record& absurd = g_absurd[g_next_absurd++ % 4];
        absurd.rect = {any_coordinate(random), any_coordinate(random), any_coordinate(random),
                       any_coordinate(random)};
        record = &absurd;
        kind = "absurd rectangle";
        break;
    }
    }
    if (record == memory.protectable && record) {
        restore_protectable_page();
        *static_cast<Record*>(record) = g_home;
    }
    char text[kFuzzActionText];
    snprintf(text, sizeof text, "embed function with a record %s", kind);
    describe(kFuzzEmbed, text);
    g_embed(record);
    if (protect_after) {
        DWORD old = 0;
        VirtualProtect(memory.protectable, 4096, PAGE_READONLY, &old);
    }
}

void draw_random(FuzzRandom& random, const FuzzTargets& targets, FuzzDescribe describe)
{
    if (!g_random)
        g_random = reinterpret_cast<RandomFunction>(SendMessageA(targets.winamp, WM_USER, 0, 3015));
    if (!g_random)
        return;
    describe(kFuzzRandom, "random-number function");
    for (uint32_t i = 1 + random.below(8); i > 0; --i)
        g_random();
}

// A position record, or a bad address where one is expected.
LPARAM position_record(FuzzRandom& random, HWND window)
{
    static WINDOWPOS position;
    const FuzzMemory& memory = fuzz_memory();
    switch (random.below(5)) {
    case 0: return 0;
    case 1: return reinterpret_cast<LPARAM>(memory.no_access);
    case 2: return reinterpret_cast<LPARAM>(memory.read_only);
    default:
        position = {window, nullptr, any_number(random) % 2000, any_number(random) % 2000,
                    any_number(random) % 2000, any_number(random) % 2000, random.next() & 0x7FF};
        return reinterpret_cast<LPARAM>(&position);
    }
}

// A text pointer that is fine, null, unreadable or runs into unreadable memory.
const char* any_text(FuzzRandom& random)
{
    const FuzzMemory& memory = fuzz_memory();
    switch (random.below(4)) {
    case 0: return "vis_probe";
    case 1: return nullptr;
    case 2: return memory.no_access;
    default:
        memset(at_readable_end(4), 'x', 4);
        return static_cast<const char*>(at_readable_end(4));
    }
}

// The records of WM_COPYDATA, WM_HELP and the creation messages, whole with bad pointers
// inside, or themselves at a bad address.
LPARAM record_with_pointers(FuzzRandom& random, UINT message, HWND window)
{
    static COPYDATASTRUCT copy;
    static HELPINFO help;
    static CREATESTRUCTA creation;
    const FuzzMemory& memory = fuzz_memory();
    switch (random.below(5)) {
    case 0: return 0;
    case 1: return reinterpret_cast<LPARAM>(memory.no_access);
    case 2: return reinterpret_cast<LPARAM>(at_readable_end(8));
    default: break;
    }
    if (message == WM_COPYDATA) {
        void* const data[] = {nullptr, memory.no_access, at_readable_end(4), memory.writable};
        copy = {random.next(), random.one_in(2) ? 4096u : random.next(), data[random.below(4)]};
        return reinterpret_cast<LPARAM>(&copy);
    }
    if (message == WM_HELP) {
        help = {static_cast<UINT>(random.one_in(2) ? sizeof help : random.next()),
                static_cast<int>(random.below(3)), any_number(random),
                reinterpret_cast<HANDLE>(random.one_in(2) ? window : nullptr), random.next(),
                {any_number(random), any_number(random)}};
        return reinterpret_cast<LPARAM>(&help);
    }
    creation = {};
    creation.lpszName = any_text(random);
    creation.lpszClass = any_text(random);
    creation.cx = any_number(random);
    creation.cy = any_number(random);
    creation.style = static_cast<LONG>(random.next());
    return reinterpret_cast<LPARAM>(&creation);
}

void window_message(FuzzRandom& random, const FuzzTargets& targets, const ProbeFuzzControl& control,
                    FuzzDescribe describe)
{
    HWND window = window_of(random, targets);
    const char* name = window == targets.frame ? "frame" : "main window";
    char text[kFuzzActionText];
    if (random.one_in(control.ending_odds)) {
        switch (random.below(2)) {
        case 0:
            snprintf(text, sizeof text, "WM_CLOSE to %s", name);
            describe(kFuzzWindowMessage, text);
            SendMessageA(window, WM_CLOSE, 0, 0);
            return;
        default:
            describe(kFuzzWindowMessage, "WM_QUIT posted to the render thread");
            PostThreadMessageA(GetCurrentThreadId(), WM_QUIT, 0, 0);
            return;
        }
    }
    if (random.one_in(4)) {
        const int x = any_number(random) % 5000, y = any_number(random) % 5000;
        const int width = any_number(random) % 5000, height = any_number(random) % 5000;
        snprintf(text, sizeof text, "MoveWindow %s to %d,%d %dx%d", name, x, y, width, height);
        describe(kFuzzWindowMessage, text);
        MoveWindow(window, x, y, width, height, random.one_in(2));
        return;
    }
    static const UINT plain[] = {WM_MOVE,         WM_SIZE,       WM_SHOWWINDOW, WM_ENTERSIZEMOVE,
                                 WM_EXITSIZEMOVE, WM_CANCELMODE, WM_SETCURSOR,  WM_KEYDOWN,
                                 WM_CHAR,         WM_DESTROY,    WM_COMMAND,    WM_ACTIVATE};
    static const UINT with_record[] = {WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED,
                                       WM_GETMINMAXINFO, WM_MOVING, WM_SIZING, WM_NCCALCSIZE,
                                       WM_SETTEXT, WM_GETTEXT, WM_COPYDATA, WM_HELP,
                                       WM_NCCREATE, WM_CREATE};
    UINT message;
    WPARAM wparam = static_cast<WPARAM>(any_number(random));
    LPARAM lparam;
    // Wine copies the record of a message sent to a window of another thread, and a sender
    // whose record cannot be read waits there for ever, before any receiver sees it.
    const bool own_window = GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
    if (own_window && random.one_in(2)) {
        message = with_record[random.below(sizeof with_record / sizeof *with_record)];
        lparam = position_record(random, window);
        if (message == WM_COPYDATA || message == WM_HELP || message == WM_NCCREATE ||
            message == WM_CREATE)
            lparam = record_with_pointers(random, message, window);
        // A text that runs into unreadable memory, or a buffer claimed larger than it is.
        if (message == WM_SETTEXT && random.one_in(2)) {
            lparam = reinterpret_cast<LPARAM>(at_readable_end(4));
            memset(at_readable_end(4), 'x', 4);
        }
        if (message == WM_GETTEXT) {
            static char title[260];
            const FuzzMemory& memory = fuzz_memory();
            char* const buffers[] = {title, nullptr, memory.no_access, memory.read_only,
                                     static_cast<char*>(at_readable_end(4))};
            lparam = reinterpret_cast<LPARAM>(buffers[random.below(5)]);
            wparam = sizeof title;
        }
    } else {
        message = plain[random.below(sizeof plain / sizeof *plain)];
        lparam = any_number(random);
    }
    const bool posted = random.one_in(4);
    snprintf(text, sizeof text, "%s message 0x%04x wParam 0x%08lx lParam 0x%08lx to %s",
             posted ? "post" : "send", message, static_cast<unsigned long>(wparam),
             static_cast<unsigned long>(lparam), name);
    describe(kFuzzWindowMessage, text);
    if (posted)
        PostMessageA(window, message, wparam, lparam);
    else
        SendMessageA(window, message, wparam, lparam);
}

// What a plug-in may change in its own record while it runs. The delay stays short: a long
// one before the third frame holds a stop past its bound by design.
void module_values(FuzzRandom& random, const FuzzTargets& targets, FuzzDescribe describe)
{
    WinampVisModule* module = targets.module;
    if (!module)
        return;
    static const int32_t counts[] = {-1, 0, 1, 2, 3, 300, INT_MIN, INT_MAX};
    const FuzzMemory& memory = fuzz_memory();
    const char* const names[] = {"vis_probe renamed", nullptr, memory.no_access,
                                 static_cast<const char*>(at_readable_end(4))};
    const int name = static_cast<int>(random.below(4));
    const int32_t waveform = counts[random.below(8)];
    const int32_t spectrum = counts[random.below(8)];
    const int32_t delay = static_cast<int32_t>(random.below(150)) - 50;
    char text[kFuzzActionText];
    snprintf(text, sizeof text, "module record: name %d, waveform %ld, spectrum %ld, delay %ld",
             name, static_cast<long>(waveform), static_cast<long>(spectrum),
             static_cast<long>(delay));
    describe(kFuzzModuleValues, text);
    if (name == 3)
        memset(at_readable_end(4), 'x', 4);  // no terminator before the unreadable page
    module->description = names[name];
    module->waveform_channels = waveform;
    module->spectrum_channels = spectrum;
    module->frame_delay = delay;
}

}  // namespace

void run_fuzz_action(ProbeFuzzKind kind, FuzzRandom& random, const FuzzTargets& targets,
                     const ProbeFuzzControl& control, FuzzDescribe describe)
{
    switch (kind) {
    case kFuzzWinampMessage: winamp_message(random, targets, describe); break;
    case kFuzzDispatch: fuzz_dispatch(random, targets, describe); break;
    case kFuzzEmbed: embed(random, targets, describe); break;
    case kFuzzRandom: draw_random(random, targets, describe); break;
    case kFuzzWindowMessage: window_message(random, targets, control, describe); break;
    case kFuzzModuleValues: module_values(random, targets, describe); break;
    case kFuzzKindCount: break;
    }
}

void restore_after_fuzzing(const FuzzTargets& targets)
{
    if (targets.drawing)
        SendMessageA(targets.winamp, WM_USER, reinterpret_cast<WPARAM>(targets.drawing), 611);
    if (g_embed && targets.frame)
        g_embed(&g_home);
    restore_protectable_page();
}

void forget_fuzz_run()
{
    g_embed = nullptr;
    g_random = nullptr;
    forget_service_objects();
    restore_protectable_page();
}
