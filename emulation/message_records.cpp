#include "emulation/message_records.h"

#include "runtime/memory_access.h"

#include <cstddef>

namespace {

// Longer titles than this are refused.
constexpr size_t kTextLimit = 65536;

struct RecordUse {
    size_t size;  // 0: the message carries no record
    bool written;
};

RecordUse record_use(UINT message, WPARAM wparam)
{
    switch (message) {
    case WM_WINDOWPOSCHANGING:
        return {sizeof(WINDOWPOS), true};
    case WM_WINDOWPOSCHANGED:
        return {sizeof(WINDOWPOS), false};
    case WM_GETMINMAXINFO:
        return {sizeof(MINMAXINFO), true};
    case WM_MOVING:
    case WM_SIZING:
        return {sizeof(RECT), true};
    case WM_NCCALCSIZE:
        return {wparam ? sizeof(NCCALCSIZE_PARAMS) : sizeof(RECT), true};
    case WM_STYLECHANGING:
        return {sizeof(STYLESTRUCT), true};
    case WM_STYLECHANGED:
        return {sizeof(STYLESTRUCT), false};
    case WM_NCCREATE:
    case WM_CREATE:
        return {sizeof(CREATESTRUCTA), false};
    default:
        return {0, false};
    }
}

}  // namespace

bool message_record_usable(UINT message, WPARAM wparam, LPARAM lparam)
{
    // Texts: default processing reads the new one up to its terminator (none is allowed)
    // and writes the window's text into a buffer of wParam characters.
    if (message == WM_SETTEXT)
        return lparam == 0 || is_readable_text(reinterpret_cast<const char*>(lparam), kTextLimit);
    if (message == WM_GETTEXT)
        return wparam == 0 || is_writable_memory(reinterpret_cast<void*>(lparam), wparam);
    const RecordUse use = record_use(message, wparam);
    if (use.size == 0)
        return true;
    const void* record = reinterpret_cast<const void*>(lparam);
    return use.written ? is_writable_memory(record, use.size) : is_readable_memory(record, use.size);
}
