#include "runtime/load_error_box.h"

#include "host/wrapper_state.h"
#include "runtime/load_error_text.h"

namespace {

// Room for the sentence, a long system text and the full path it names; longer is cut.
constexpr size_t kMessageCapacity = 1024;
constexpr DWORD kFormatFlags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                               FORMAT_MESSAGE_ARGUMENT_ARRAY;
constexpr DWORD kMinimumTextSize = 200;

}  // namespace

void show_load_error(DWORD error_code, const char* detail)
{
    char* system_text = nullptr;
    if (error_code != 0) {
        DWORD_PTR inserts[2] = {reinterpret_cast<DWORD_PTR>(g_state.plugin_path), 0};
        if (!FormatMessageA(kFormatFlags, nullptr, error_code, 0,
                            reinterpret_cast<char*>(&system_text), kMinimumTextSize,
                            reinterpret_cast<va_list*>(inserts)))
            system_text = nullptr;
    }

    char message[kMessageCapacity];
    compose_load_error(message, sizeof message, system_text ? system_text : detail);
    if (system_text)
        LocalFree(system_text);
    MessageBoxA(nullptr, message, "Error", MB_ICONERROR);
}
