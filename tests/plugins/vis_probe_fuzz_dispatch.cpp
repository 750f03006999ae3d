#include "tests/plugins/vis_probe_fuzz_dispatch.h"

#include "tests/plugins/vis_probe_fuzz_memory.h"
#include "tests/plugins/vis_probe_fuzz_values.h"

#include <cstdio>

namespace {

// Winamp's service objects as a compiled plug-in sees them: a table address in the first
// word, Dispatch its first entry.
struct ServiceObjectView;
using DispatchFunction = int32_t(__thiscall*)(ServiceObjectView*, int32_t code, int32_t* result,
                                              void* const* args, int32_t argc);
struct ServiceObjectView {
    const DispatchFunction* table;
};

constexpr GUID kLanguageServiceId = {
    0x30AED4E5, 0xEF10, 0x4277, {0x8D, 0x49, 0x27, 0xAB, 0x55, 0x70, 0xE8, 0x91}};
constexpr int32_t kFindService = 50;
constexpr int32_t kLanguageCodes[] = {10, 30, 50, 51, 300};
constexpr int kMaxArgs = 10;

// What the run handed out so far.
ServiceObjectView* g_directory = nullptr;
ServiceObjectView* g_language = nullptr;

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

}  // namespace

void fuzz_dispatch(FuzzRandom& random, const FuzzTargets& targets, FuzzDescribe describe)
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

void forget_service_objects()
{
    g_directory = nullptr;
    g_language = nullptr;
}
