// A small PNG encoder: 8-bit RGB, no filtering, the image data in stored (uncompressed)
// deflate blocks. Files are larger than a compressing encoder's and read everywhere.
#pragma once

#include "tools/player/image.h"

#include <cstddef>
#include <cstdint>
#include <vector>

uint32_t crc32(const uint8_t* data, size_t size);
uint32_t adler32(const uint8_t* data, size_t size);

std::vector<uint8_t> encode_png(const Image& image);
