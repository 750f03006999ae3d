#include "runtime/load_error_text.h"

#include <cstdio>

void compose_load_error(char* out, size_t capacity, const char* detail)
{
    if (capacity == 0)
        return;
    if (detail)
        snprintf(out, capacity, "%s\n%s", kLoadErrorSentence, detail);
    else
        snprintf(out, capacity, "%s", kLoadErrorSentence);
}
