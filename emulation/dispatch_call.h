// One Dispatch call of a service object as a plug-in made it. Nothing the plug-in points
// at is read or written before it is known that it can be: a bad argument array, value or
// result cell makes the call unanswered, as an unknown code is, and never faults.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

class DispatchCall {
public:
    DispatchCall(int32_t* result, void* const* args, int32_t argc);

    int32_t argc() const { return argc_; }

    // The address of argument index's value when size bytes there can be read, else null.
    const void* value_address(int32_t index, size_t size) const;

    // Copies argument index's value; false when it cannot be read.
    template <typename T>
    bool read(int32_t index, T* value) const
    {
        const void* at = value_address(index, sizeof(T));
        if (!at)
            return false;
        std::memcpy(value, at, sizeof(T));
        return true;
    }

    bool can_answer() const;

    // Writes the 32-bit answer and returns 1; returns 0 without writing when the result
    // cell cannot take it.
    int32_t answer(int32_t value) const;
    int32_t answer(const void* address) const;

private:
    int32_t* result_;
    void* const* args_;
    int32_t argc_;
    bool args_readable_;
};
