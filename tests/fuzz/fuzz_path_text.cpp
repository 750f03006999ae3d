// The bounded path operations driven in random sequences over buffers of random capacity,
// each allocated to exactly that capacity so that any write or read past it is caught.
// After every step the text is terminated inside the buffer and matches a model string.
#include "host/path_text.h"

#include <fuzzer/FuzzedDataProvider.h>

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

// Mostly the 260-byte buffers of the wrapper, sometimes any size down to none.
size_t pick_capacity(FuzzedDataProvider& input)
{
    return input.ConsumeBool() ? 260 : input.ConsumeIntegralInRange<size_t>(0, 300);
}

// A zero-terminated text of its own heap block, without inner terminators.
std::vector<char> pick_text(FuzzedDataProvider& input)
{
    const std::string text = input.ConsumeRandomLengthString(600);
    std::vector<char> block(text.c_str(), text.c_str() + strlen(text.c_str()));
    block.push_back('\0');
    return block;
}

size_t terminated_length(const std::vector<char>& buffer)
{
    const void* end = memchr(buffer.data(), '\0', buffer.size());
    check(end != nullptr, "text not terminated inside its buffer");
    return static_cast<const char*>(end) - buffer.data();
}

void copy_step(FuzzedDataProvider& input, std::vector<char>& buffer, std::string& model)
{
    const std::vector<char> source = pick_text(input);
    const size_t length = source.size() - 1;
    const bool fitted = copy_path(buffer.data(), buffer.size(), source.data());
    check(fitted == (length < buffer.size()), "copy_path fitted the wrong texts");
    model = fitted ? std::string(source.data()) : std::string();
    if (buffer.empty())
        check(!fitted, "copy_path into nothing");
}

void append_step(FuzzedDataProvider& input, std::vector<char>& buffer, std::string& model)
{
    const std::vector<char> suffix = pick_text(input);
    const std::vector<char> before = buffer;
    const bool fitted = append_path(buffer.data(), buffer.size(), suffix.data());
    const size_t total = model.size() + suffix.size() - 1;
    check(fitted == (total < buffer.size()), "append_path fitted the wrong texts");
    if (fitted)
        model += suffix.data();
    else
        check(buffer == before, "a refused append changed the buffer");
}

void cut_step(std::vector<char>& buffer, std::string& model)
{
    const size_t separator = model.find_last_of("\\/");
    const bool cut = cut_at_last_separator(buffer.data());
    check(cut == (separator != std::string::npos), "cut_at_last_separator missed or invented one");
    if (cut)
        model.resize(separator);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    std::vector<char> buffer(pick_capacity(input));
    std::string model;
    if (!buffer.empty())
        buffer[0] = '\0';
    // An empty buffer can only be refused by copy; the other steps need a text.
    const bool has_text = !buffer.empty();

    while (input.remaining_bytes() > 0) {
        switch (has_text ? input.ConsumeIntegralInRange<int>(0, 3) : 0) {
        case 0:
            copy_step(input, buffer, model);
            break;
        case 1:
            append_step(input, buffer, model);
            break;
        case 2:
            cut_step(buffer, model);
            break;
        case 3:
            check(needs_separator(buffer.data()) ==
                      (model.empty() || (model.back() != '\\' && model.back() != '/')),
                  "needs_separator");
            break;
        }
        if (has_text) {
            check(terminated_length(buffer) == model.size(), "text length differs from the model");
            check(model.compare(0, std::string::npos, buffer.data()) == 0,
                  "text differs from the model");
        }
    }
    return 0;
}
