#include "tests/support/reported_fault_code.h"

#include <cstdlib>
#include <cstring>

bool cpu_is_emulated()
{
    const char* emulated = std::getenv("ZEKO_EMULATED_CPU");
    return emulated && std::strcmp(emulated, "1") == 0;
}

DWORD reported_fault_code(DWORD code)
{
    if (!cpu_is_emulated())
        return code;
    switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_STACK_OVERFLOW:
        return EXCEPTION_ILLEGAL_INSTRUCTION;
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
        return EXCEPTION_FLT_INVALID_OPERATION;
    default:
        return code;
    }
}

bool is_reported_fault_code(DWORD reported, DWORD raised)
{
    if (raised == EXCEPTION_STACK_OVERFLOW && reported == EXCEPTION_STACK_OVERFLOW)
        return true;
    return reported == reported_fault_code(raised);
}
