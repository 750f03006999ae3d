// Bounded operations on the fixed 8-bit path buffers. None of them writes past the
// capacity it is given; each says whether the whole text fitted.
#pragma once

#include <cstddef>

// Copies src into dst (capacity bytes, terminator included). Returns false, leaving dst
// empty, when src does not fit whole: a cut path would name a different file.
bool copy_path(char* dst, size_t capacity, const char* src);

// Appends suffix to the text in dst. Returns false, leaving dst unchanged, when the result
// would not fit.
bool append_path(char* dst, size_t capacity, const char* suffix);

// Makes the last "\\" or "/" the terminator. Returns false, leaving the text unchanged,
// when there is none.
bool cut_at_last_separator(char* path);

// True when the text is empty or ends in neither "\\" nor "/".
bool needs_separator(const char* path);

// True when a file of that name can be opened for reading (it is closed again at once).
bool file_opens_for_reading(const char* path);
