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

struct ServiceKind {
    const char* name;
    GUID id;
    int32_t codes[12];
    int code_count;
};

constexpr int kLanguage = 0;
const ServiceKind kServices[] = {
    {"language service",
     {0x30AED4E5, 0xEF10, 0x4277, {0x8D, 0x49, 0x27, 0xAB, 0x55, 0x70, 0xE8, 0x91}},
     {10, 11, 30, 50, 51, 52, 53, 54, 55, 80, 81, 300},
     12},
    {"application service",
     {0x23B96771, 0x09D7, 0x46D3, {0x9A, 0xE2, 0x20, 0xDC, 0xEA, 0x6C, 0x86, 0xEA}},
     {365, 300},
     2},
    {"callback service",
     {0x57B7A1B6, 0x700E, 0x44FF, {0x9C, 0xB0, 0x70, 0xB9, 0x2B, 0xAF, 0x39, 0x59}},
     {30, 300},
     2},
};
constexpr int kServiceCount = 3;
constexpr int32_t kFindService = 50;
constexpr int32_t kGetSelf = 300;
constexpr int kMaxArgs = 10;

// What the run handed out so far.
ServiceObjectView* g_directory = nullptr;
ServiceObjectView* g_services[kServiceCount] = {};

ServiceObjectView* ask_directory(HWND winamp)
{
    if (!g_directory)
        g_directory = reinterpret_cast<ServiceObjectView*>(SendMessageA(winamp, WM_USER, 0, 3025));
    return g_directory;
}

// Each service is what the directory finds for its identifier, passed by value as Winamp 5
// plug-ins pass it; asked once per run.
void ask_services(ServiceObjectView* directory)
{
    for (int i = 0; i < kServiceCount && directory; ++i) {
        if (g_services[i])
            continue;
        GUID id = kServices[i].id;
        void* args[1] = {&id};
        int32_t found = 0;
        if (directory->table[0](directory, kFindService, &found, args, 1) == 1)
            g_services[i] = reinterpret_cast<ServiceObjectView*>(found);
    }
}

// Language requests that would make a dialog: a template the probe has would hold the
// render thread in a modal loop, so theirs names none, and no dialog procedure is given.
bool would_make_dialog(int32_t code)
{
    return code == 50 || code == 51 || code == 53 || code == 54;
}

// An instance, a resource name, and for the text codes a buffer and its size: each of
// every sort, for the service to check before it hands any of them to the system.
void fill_language_values(int32_t code, uintptr_t* values, FuzzRandom& random,
                          const FuzzTargets& targets)
{
    const FuzzMemory& memory = fuzz_memory();
    static char buffer[64];
    if (random.one_in(2))
        values[1] = reinterpret_cast<uintptr_t>(GetModuleHandleA(nullptr));
    if (random.one_in(2))
        values[2] = 60000 + random.below(5000);  // no such string, menu or table
    if (code == 10 || code == 11) {
        const uintptr_t buffers[] = {reinterpret_cast<uintptr_t>(buffer), 0,
                                     reinterpret_cast<uintptr_t>(memory.read_only),
                                     reinterpret_cast<uintptr_t>(memory.no_access),
                                     reinterpret_cast<uintptr_t>(at_readable_end(8))};
        values[3] = buffers[random.below(5)];
        values[4] = random.one_in(2) ? sizeof buffer / (code == 11 ? 2 : 1) : any_word(random, targets);
    }
    if (would_make_dialog(code)) {
        values[2] = 60000 + random.below(5000);
        values[4] = 0;
    }
}

}  // namespace

void fuzz_dispatch(FuzzRandom& random, const FuzzTargets& targets, FuzzDescribe describe)
{
    ServiceObjectView* directory = ask_directory(targets.winamp);
    ask_services(directory);
    const int pick = static_cast<int>(random.below(kServiceCount + 1)) - 1;
    ServiceObjectView* object = pick < 0 ? directory : g_services[pick];
    if (!object)
        return;

    int32_t code;
    if (random.one_in(3))
        code = any_number(random);
    else if (pick < 0)
        code = random.one_in(4) ? kGetSelf : kFindService;
    else
        code = kServices[pick].codes[random.below(kServices[pick].code_count)];
    const int32_t argc = static_cast<int32_t>(random.below(12)) - 1;

    const FuzzMemory& memory = fuzz_memory();
    static int32_t cell;
    static uintptr_t values[kMaxArgs];
    static void* elements[kMaxArgs];
    static GUID id_value;
    static const GUID* id_pointer;
    int32_t* result = &cell;
    const char* result_kind = "good";
    switch (random.below(4)) {
    case 0: result = nullptr; result_kind = "null"; break;
    case 1: result = reinterpret_cast<int32_t*>(memory.read_only); result_kind = "read-only"; break;
    case 2: result = reinterpret_cast<int32_t*>(memory.no_access); result_kind = "unreadable"; break;
    default: break;
    }

    for (int i = 0; i < kMaxArgs; ++i) {
        values[i] = any_word(random, targets);
        elements[i] = &values[i];
    }
    const char* id_kind = "";
    if (pick < 0) {
        // The identifier by value (its 16 bytes at the element's address), the older pointer
        // form, a wrong one, or one cut off by unreadable memory.
        id_value = kServices[random.below(kServiceCount)].id;
        if (random.one_in(4))
            id_value.Data4[7] ^= static_cast<BYTE>(1 + random.below(255));
        id_pointer = &id_value;
        switch (random.below(4)) {
        case 0: elements[0] = &id_value; id_kind = ", identifier by value"; break;
        case 1: elements[0] = &id_pointer; id_kind = ", identifier by pointer"; break;
        case 2: elements[0] = at_readable_end(8); id_kind = ", identifier cut off"; break;
        default: break;
        }
    } else if (pick == kLanguage) {
        fill_language_values(code, values, random, targets);
    }

    const char* array_kind = "full";
    void* const* args = elements;
    for (int i = 0; i < kMaxArgs; ++i) {
        switch (random.below(8)) {
        case 0: elements[i] = nullptr; break;
        case 1: elements[i] = memory.no_access; break;
        default: break;
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
    // A dialog request keeps its safe values wherever the array lets the service read them.
    if (pick == kLanguage && would_make_dialog(code) && args == elements) {
        elements[2] = &values[2];
        elements[4] = &values[4];
    }

    char text[kFuzzActionText];
    snprintf(text, sizeof text, "Dispatch on %s: code %ld argc %ld, args %s%s, result %s",
             pick < 0 ? "directory" : kServices[pick].name, static_cast<long>(code),
             static_cast<long>(argc), array_kind, id_kind, result_kind);
    describe(kFuzzDispatch, text);
    object->table[0](object, code, result, args, argc);
}

void forget_service_objects()
{
    g_directory = nullptr;
    for (ServiceObjectView*& service : g_services)
        service = nullptr;
}
