#include "host/path_text.h"

#include <cstdio>
#include <cstring>

bool copy_path(char* dst, size_t capacity, const char* src)
{
    if (capacity == 0)
        return false;
    const size_t length = strnlen(src, capacity);
    if (length >= capacity) {
        dst[0] = '\0';
        return false;
    }
    memcpy(dst, src, length + 1);
    return true;
}

bool append_path(char* dst, size_t capacity, const char* suffix)
{
    const size_t used = strnlen(dst, capacity);
    const size_t extra = strlen(suffix);
    if (used >= capacity || extra >= capacity - used)
        return false;
    memcpy(dst + used, suffix, extra + 1);
    return true;
}

bool cut_at_last_separator(char* path)
{
    for (size_t i = strlen(path); i > 0; --i) {
        if (path[i - 1] == '\\' || path[i - 1] == '/') {
            path[i - 1] = '\0';
            return true;
        }
    }
    return false;
}

bool needs_separator(const char* path)
{
    const size_t length = strlen(path);
    return length == 0 || (path[length - 1] != '\\' && path[length - 1] != '/');
}

bool file_opens_for_reading(const char* path)
{
    FILE* file = fopen(path, "r");
    if (!file)
        return false;
    fclose(file);
    return true;
}
