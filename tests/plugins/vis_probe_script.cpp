#include "tests/plugins/vis_probe_script.h"

#include <cstring>

namespace {

constexpr char kSection[] = "vis_probe";
const char* const kEntryNames[kProbeEntryCount] = {"header", "module_by_index", "config",
                                                   "init",   "render",          "quit"};
const char* const kFaultNames[] = {"none", "access_violation", "divide_by_zero", "msvc_throw",
                                   "stack_overflow", "endless_loop"};
const char* const kWindowNames[] = {"none", "child", "top_level"};

template <size_t N>
int32_t index_of(const char* const (&names)[N], const char* text, int32_t otherwise)
{
    for (size_t i = 0; i < N; ++i) {
        if (strcmp(names[i], text) == 0)
            return static_cast<int32_t>(i);
    }
    return otherwise;
}

bool script_path(char* path, DWORD size)
{
    HMODULE self = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(&apply_probe_script), &self))
        return false;
    const DWORD length = GetModuleFileNameA(self, path, size);
    if (length < 4 || length >= size)
        return false;
    strcpy(path + length - 4, ".ini");
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

int32_t number(const char* key, int32_t otherwise, const char* path)
{
    return static_cast<int32_t>(GetPrivateProfileIntA(kSection, key, otherwise, path));
}

void word(const char* key, char* text, DWORD size, const char* path)
{
    GetPrivateProfileStringA(kSection, key, "", text, size, path);
}

}  // namespace

void apply_probe_script(ProbeControl& control)
{
    static LONG applied = 0;
    char path[MAX_PATH];
    if (InterlockedExchange(&applied, 1) || !script_path(path, sizeof path))
        return;
    control.module_count = number("module_count", control.module_count, path);
    control.frame_delay = number("frame_delay", control.frame_delay, path);
    control.init_failures = number("init_failures", control.init_failures, path);
    control.header_returns_null = number("header_returns_null", control.header_returns_null, path);
    control.ask_embed_window = number("ask_embed_window", control.ask_embed_window, path);
    control.draws_through_dc = number("draws_through_dc", control.draws_through_dc, path);
    control.shows_itself = number("shows_itself", control.shows_itself, path);
    control.draws_after_ms = number("draws_after_ms", control.draws_after_ms, path);
    char text[64];
    word("drawing_window", text, sizeof text, path);
    control.drawing_window = index_of(kWindowNames, text, control.drawing_window);
    word("message_box_from", text, sizeof text, path);
    control.message_box_from = index_of(kEntryNames, text, control.message_box_from);
    for (int entry = 0; entry < kProbeEntryCount; ++entry) {
        char key[64];
        wsprintfA(key, "fault_%s", kEntryNames[entry]);
        word(key, text, sizeof text, path);
        control.faults[entry] = static_cast<ProbeFault>(index_of(kFaultNames, text, control.faults[entry]));
        wsprintfA(key, "hang_ms_%s", kEntryNames[entry]);
        control.hang_ms[entry] = number(key, control.hang_ms[entry], path);
    }
}
