#include "tools/player/png_writer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

uint32_t big_endian(const uint8_t* p)
{
    return (static_cast<uint32_t>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

struct DecodedPng {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> header_tail;  // depth, colour type, compression, filter, interlace
    std::vector<uint8_t> scanlines;
    size_t stored_blocks = 0;
};

// Walks the chunks, checking each CRC, and undoes the zlib stream of stored blocks.
DecodedPng decode(const std::vector<uint8_t>& png)
{
    DecodedPng decoded;
    const uint8_t signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    EXPECT_EQ(memcmp(png.data(), signature, 8), 0);
    std::vector<uint8_t> zlib;
    std::vector<std::string> order;
    size_t offset = 8;
    while (offset + 12 <= png.size()) {
        const uint32_t length = big_endian(&png[offset]);
        const std::string type(png.begin() + offset + 4, png.begin() + offset + 8);
        order.push_back(type);
        const uint8_t* body = &png[offset + 8];
        EXPECT_EQ(crc32(&png[offset + 4], length + 4), big_endian(body + length)) << type;
        if (type == "IHDR") {
            decoded.width = big_endian(body);
            decoded.height = big_endian(body + 4);
            decoded.header_tail.assign(body + 8, body + 13);
        } else if (type == "IDAT") {
            zlib.insert(zlib.end(), body, body + length);
        }
        offset += 12 + length;
    }
    EXPECT_EQ(offset, png.size());
    EXPECT_EQ(order, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));

    EXPECT_EQ((zlib[0] * 256 + zlib[1]) % 31, 0) << "zlib header check";
    size_t position = 2;
    bool final_block = false;
    while (!final_block) {
        final_block = zlib[position] & 1;
        EXPECT_EQ(zlib[position] & 6, 0) << "stored block type";
        const uint16_t length = static_cast<uint16_t>(zlib[position + 1] | (zlib[position + 2] << 8));
        const uint16_t complement = static_cast<uint16_t>(zlib[position + 3] | (zlib[position + 4] << 8));
        EXPECT_EQ(static_cast<uint16_t>(~length), complement);
        decoded.scanlines.insert(decoded.scanlines.end(), zlib.begin() + position + 5,
                                 zlib.begin() + position + 5 + length);
        position += 5 + length;
        ++decoded.stored_blocks;
    }
    EXPECT_EQ(big_endian(&zlib[position]), adler32(decoded.scanlines.data(), decoded.scanlines.size()));
    EXPECT_EQ(position + 4, zlib.size());
    return decoded;
}

void expect_pixels(const Image& image, const DecodedPng& decoded)
{
    ASSERT_EQ(decoded.scanlines.size(), static_cast<size_t>(image.height) * (1 + 3 * image.width));
    for (int y = 0; y < image.height; ++y) {
        const uint8_t* row = &decoded.scanlines[static_cast<size_t>(y) * (1 + 3 * image.width)];
        ASSERT_EQ(row[0], 0) << "filter of row " << y;
        for (int x = 0; x < image.width; ++x) {
            const uint32_t pixel = (row[1 + 3 * x] << 16) | (row[2 + 3 * x] << 8) | row[3 + 3 * x];
            ASSERT_EQ(pixel, image.at(x, y)) << x << "," << y;
        }
    }
}

TEST(PngWriter, ChecksumsMatchTheirPublishedCheckValues)
{
    const char digits[] = "123456789";
    EXPECT_EQ(crc32(reinterpret_cast<const uint8_t*>(digits), 9), 0xCBF43926u);
    const char word[] = "Wikipedia";
    EXPECT_EQ(adler32(reinterpret_cast<const uint8_t*>(word), 9), 0x11E60398u);
    EXPECT_EQ(adler32(nullptr, 0), 1u);
}

TEST(PngWriter, SmallImageRoundTripsThroughItsChunks)
{
    Image image(3, 2, 0);
    image.pixels = {0xFF0000, 0x00FF00, 0x0000FF, 0x123456, 0xFFFFFF, 0x000000};
    const DecodedPng decoded = decode(encode_png(image));
    EXPECT_EQ(decoded.width, 3u);
    EXPECT_EQ(decoded.height, 2u);
    EXPECT_EQ(decoded.header_tail, (std::vector<uint8_t>{8, 2, 0, 0, 0}));
    EXPECT_EQ(decoded.stored_blocks, 1u);
    expect_pixels(image, decoded);
}

TEST(PngWriter, LargeImageIsSplitIntoFullStoredBlocks)
{
    Image image(200, 150, 0);
    for (size_t i = 0; i < image.pixels.size(); ++i)
        image.pixels[i] = static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFF;
    const DecodedPng decoded = decode(encode_png(image));
    EXPECT_EQ(decoded.stored_blocks, 2u);  // 150 rows of 601 bytes: 90150 > 65535
    expect_pixels(image, decoded);
}

}  // namespace
