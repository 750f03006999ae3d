// The text of the loader's error box.
#pragma once

#include <cstddef>

constexpr char kLoadErrorSentence[] =
    "Error while loading Winamp DLL. Please check requirements and dependencies.";

// What the box says when the header function gave nothing and left no error code.
constexpr char kNoHeaderText[] = "The plug-in gave no Winamp visualization header.";

// Writes the fixed sentence, a line break and detail (the system's text for the error, or
// nullptr for none: then the sentence alone) into out. Always terminated; what does not fit
// in capacity bytes is cut.
void compose_load_error(char* out, size_t capacity, const char* detail);
