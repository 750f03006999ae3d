// Whether a thread is running the plug-in's code, told from its instruction pointer and
// the return addresses on its stack. A thread started through a system module (the C
// runtime's thread functions, the system's thread pool) belongs to whoever's code it runs.
#pragma once

#include <cstddef>
#include <cstdint>

// Whether the bytes before return_address end in a call instruction (direct, or indirect
// through a register or memory); before holds the available bytes, the last one just
// before return_address.
bool follows_call_instruction(const uint8_t* before, size_t available);

using AddressTest = bool (*)(uintptr_t address);

// True when eip lies in the plug-in's code or a value between esp and stack_base does and
// follows a call instruction there. Reads only the stack given and the plug-in's images.
bool plugin_code_on_stack(uintptr_t eip, const uintptr_t* esp, const uintptr_t* stack_base,
                          AddressTest in_plugin);
