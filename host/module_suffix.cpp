#include "host/module_suffix.h"

#include <cstdlib>
#include <cstring>

namespace {

bool is_dll_extension(const char* text)
{
    const char dll[] = ".dll";
    for (int i = 0; i < 4; ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != dll[i])
            return false;
    }
    return text[4] == '\0';
}

} // namespace

int32_t take_module_suffix(char* name)
{
    const size_t length = strlen(name);
    // A position before the start of the name is never examined.
    auto from_end = [&](size_t back) { return length >= back ? name + length - back : nullptr; };
    int32_t module_index = 0;

    const size_t bare_positions[] = {3, 2};
    for (size_t back : bare_positions) {
        char* dollar = from_end(back);
        if (dollar != nullptr && *dollar == '$') {
            *dollar = '\0';
            module_index = atoi(dollar + 1);
        }
    }
    // The same forms with the extension that the file dialog adds by default.
    char* extension = from_end(4);
    const size_t extended_positions[] = {6, 7};
    for (size_t back : extended_positions) {
        char* dollar = from_end(back);
        if (dollar != nullptr && *dollar == '$' && is_dll_extension(extension)) {
            *dollar = '\0';
            *extension = '\0';
            module_index = atoi(dollar + 1);
        }
    }
    return module_index;
}
