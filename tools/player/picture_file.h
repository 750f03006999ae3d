// A picture passed from a child process to the survey as a plain file: width, height and
// the pixels, all as 32-bit little-endian numbers.
#pragma once

#include "tools/player/image.h"

#include <string>

bool save_picture(const std::string& path, const Image& picture);
// Empty when the file is missing or does not hold a whole picture.
Image load_picture(const std::string& path);
