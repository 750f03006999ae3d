// Any file name a user can type goes through take_module_suffix: it must stay inside the
// name, only ever shorten it, and name a module only when it cut something off.
#include "host/module_suffix.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

void check(bool condition, const char* what)
{
    if (!condition) {
        fprintf(stderr, "invariant broken: %s\n", what);
        abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Exactly the name and its terminator on the heap, so a read or write past it is caught.
    const auto* text = reinterpret_cast<const char*>(data);
    const std::string original(text, strnlen(text, size));
    std::vector<char> name(original.begin(), original.end());
    name.push_back('\0');

    const int32_t module_index = take_module_suffix(name.data());

    const size_t remaining = strlen(name.data());
    check(remaining <= original.size(), "the name grew");
    check(original.compare(0, remaining, name.data()) == 0, "the kept part changed");
    // At most two characters are read as the number, so a sign and one digit at worst.
    check(module_index >= -9 && module_index <= 99, "index out of the two-digit range");
    if (remaining == original.size())
        check(module_index == 0, "a module named without cutting a suffix");
    if (original.find('$') == std::string::npos)
        check(remaining == original.size(), "a name without '$' was cut");
    // What was cut off starts with the "$" of the suffix.
    if (remaining < original.size())
        check(original[remaining] == '$', "the cut is not at a '$'");
    return 0;
}
