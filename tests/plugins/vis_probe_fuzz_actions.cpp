#include "tests/plugins/vis_probe_fuzz_actions.h"

#include "tests/plugins/vis_probe_fuzz_memory.h"

#include <climits>
#include <cstdio>
#include <cstring>

namespace {

// Winamp's service objects as a compiled plug-in sees them: a table address in the first
// word, Dispatch its first entry.
struct ServiceObjectView;
using DispatchFunction = int32_t(__thiscall*)(ServiceObjectView*, int32_t code, int32_t* result,
                                              void* const* args, int32_t argc);
struct ServiceObjectView {
    const DispatchFunction* table;
};
using EmbedFunction = HWND(__cdecl*)(void* record);
using RandomFunction = int32_t(__cdecl*)();

constexpr GUID kLanguageServiceId = {
    0x30AED4E5, 0xEF10, 0x4277, {0x8D, 0x49, 0x27, 0xAB, 0x55, 0x70, 0xE8, 0x91}};
constexpr int32_t kFindService = 50;
constexpr LPARAM kAnsweredCodes[] = {0,   104, 201,  334,  335,  336,  501,
                                     505, 611, 631, 2004, 3015, 3025, 3033};
constexpr int32_t kLanguageCodes[] = {10, 30, 50, 51, 300};
constexpr int kMaxArgs = 10;

struct Record {
    HWND window;
    int32_t reserved;
    RECT rect;
};

// What the run handed out so far.
EmbedFunction g_embed = nullptr;
RandomFunction g_random = nullptr;
ServiceObjectView* g_directory = nullptr;
ServiceObjectView* g_language = nullptr;
HWND g_stale = nullptr;
Record g_home = {nullptr, 0, {100, 100, 420, 340}};
Record g_absurd[4] = {};
int g_next_absurd = 0;

HWND stale_window()
{
    if (!g_stale) {
        g_stale = CreateWindowExA(0, "STATIC", "gone", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                                  nullptr);
        if (g_stale)
            DestroyWindow(g_stale);
    }
    return g_stale;
}

// The desktop window is the shell process's under this system, not ours.
HWND foreign_window()
{
    return GetDesktopWindow();
}

int32_t any_number(FuzzRandom& random)
{
    static const int32_t edges[] = {0, 1, -1, INT_MIN, INT_MAX, 0x8000, 0xFFFF, 0x10000};
    return random.one_in(2) ? edges[random.below(8)] : static_cast<int32_t>(random.next());
}

// A 32-bit value as plug-ins pass them: numbers, handles of every sort, addresses of
// every sort.
uintptr_t any_word(FuzzRandom& random, const FuzzTargets& targets)
{
    const FuzzMemory& memory = fuzz_memory();
    switch (random.below(12)) {
    case 0: return 0;
    case 1: return static_cast<uint32_t>(any_number(random));
    case 2: return reinterpret_cast<uintptr_t>(stale_window());
    case 3: return reinterpret_cast<uintptr_t>(foreign_window());
    case 4: return reinterpret_cast<uintptr_t>(targets.winamp);
    case 5: return reinterpret_cast<uintptr_t>(targets.frame);
    case 6: return reinterpret_cast<uintptr_t>(targets.drawing);
    case 7: return reinterpret_cast<uintptr_t>(memory.no_access);
    case 8: return reinterpret_cast<uintptr_t>(memory.read_only);
    case 9: return reinterpret_cast<uintptr_t>(at_readable_end(4));
    case 10: return reinterpret_cast<uintptr_t>(memory.writable);
    default: return random.next();
    }
}

HWND window_of(FuzzRandom& random, const FuzzTargets& targets)
{
    return targets.frame && random.one_in(3) ? targets.frame : targets.winamp;
}

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
    else if (code == 3025)
        g_directory = reinterpret_cast<ServiceObjectView*>(answer);
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

ServiceObjectView* ask_directory(HWND winamp)
{
    if (!g_directory)
        g_directory = reinterpret_cast<ServiceObjectView*>(SendMessageA(winamp, WM_USER, 0, 3025));
    return g_directory;
}

// The language service is what the directory finds for its identifier; asked once per run.
ServiceObjectView* ask_language(ServiceObjectView* directory)
{
    if (g_language || !directory)
        return g_language;
    const GUID* id = &kLanguageServiceId;
    void* args[1] = {&id};
    int32_t found = 0;
    if (directory->table[0](directory, kFindService, &found, args, 1) == 1)
        g_language = reinterpret_cast<ServiceObjectView*>(found);
    return g_language;
}

// A language-service request whose arguments reach a system call. Until the service checks
// what it hands on, the values stay ones the system takes without faulting (a fault inside
// the system is not caught on an emulated machine), and the fuzzing stays with the arrays,
// the element addresses and the result cell.
bool reaches_system_call(int32_t code, int32_t argc)
{
    return (code == 10 && argc == 5) || ((code == 50 || code == 51) && argc == 6);
}

void fill_safe_values(int32_t code, uintptr_t* values, FuzzRandom& random)
{
    static char buffer[64];
    values[1] = reinterpret_cast<uintptr_t>(GetModuleHandleA(nullptr));
    values[2] = 60000 + random.below(5000);  // no such string or dialog
    if (code == 10) {
        values[3] = reinterpret_cast<uintptr_t>(buffer);
        values[4] = sizeof buffer;
    } else {
        values[3] = 0;
        values[4] = 0;
        values[5] = 0;
    }
}

void dispatch(FuzzRandom& random, const FuzzTargets& targets, FuzzDescribe describe)
{
    ServiceObjectView* directory = ask_directory(targets.winamp);
    ServiceObjectView* language = ask_language(directory);
    ServiceObjectView* object = language && random.one_in(2) ? language : directory;
    if (!object)
        return;
    const bool is_language = object == language;

    int32_t code;
    if (random.one_in(3))
        code = any_number(random);
    else
        code = is_language ? kLanguageCodes[random.below(5)] : kFindService;
    const int32_t argc = static_cast<int32_t>(random.below(12)) - 1;

    const FuzzMemory& memory = fuzz_memory();
    static int32_t cell;
    static uintptr_t values[kMaxArgs];
    static void* elements[kMaxArgs];
    static GUID wrong_id;
    int32_t* result = &cell;
    const char* result_kind = "good";
    switch (random.below(4)) {
    case 0: result = nullptr; result_kind = "null"; break;
    case 1: result = reinterpret_cast<int32_t*>(memory.read_only); result_kind = "read-only"; break;
    case 2: result = reinterpret_cast<int32_t*>(memory.no_access); result_kind = "unreadable"; break;
    default: break;
    }

    for (int i = 0; i < kMaxArgs; ++i)
        values[i] = any_word(random, targets);
    if (!is_language) {
        // The identifier: the right one, a wrong one, one cut off by unreadable memory.
        wrong_id = kLanguageServiceId;
        wrong_id.Data4[7] ^= static_cast<BYTE>(1 + random.below(255));
        const void* ids[] = {&kLanguageServiceId, &wrong_id, at_readable_end(8), memory.no_access,
                             nullptr};
        values[0] = reinterpret_cast<uintptr_t>(ids[random.below(5)]);
    }
    if (is_language && reaches_system_call(code, argc))
        fill_safe_values(code, values, random);

    const char* array_kind = "full";
    void* const* args = elements;
    for (int i = 0; i < kMaxArgs; ++i) {
        switch (random.below(8)) {
        case 0: elements[i] = nullptr; break;
        case 1: elements[i] = memory.no_access; break;
        default: elements[i] = &values[i]; break;
        }
    }
    switch (random.below(6)) {
    case 0: args = nullptr; array_kind = "null"; break;
    case 1: {
        // Only the first element readable: the rest of the array is unreadable memory.
        auto* last = static_cast<void**>(at_readable_end(sizeof(void*)));
        if (last)
            *last = elements[0];
        args = last;
        array_kind = "short";
        break;
    }
    case 2: args = reinterpret_cast<void* const*>(memory.no_access); array_kind = "unreadable"; break;
    default: break;
    }

    char text[kFuzzActionText];
    snprintf(text, sizeof text, "Dispatch on %s: code %ld argc %ld, args %s, result %s",
             is_language ? "language service" : "directory", static_cast<long>(code),
             static_cast<long>(argc), array_kind, result_kind);
    describe(kFuzzDispatch, text);
    if (object->table[0](object, code, result, args, argc) == 1 && result == &cell && !is_language &&
        code == kFindService && cell)
        g_language = reinterpret_cast<ServiceObjectView*>(cell);
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
                                       WM_GETMINMAXINFO, WM_MOVING, WM_SIZING, WM_NCCALCSIZE};
    UINT message;
    WPARAM wparam = static_cast<WPARAM>(any_number(random));
    LPARAM lparam;
    if (random.one_in(2)) {
        message = with_record[random.below(sizeof with_record / sizeof *with_record)];
        lparam = position_record(random, window);
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
    case kFuzzDispatch: dispatch(random, targets, describe); break;
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
    g_directory = nullptr;
    g_language = nullptr;
    restore_protectable_page();
}
