#include "tools/player/picture_file.h"

#include <cstdio>

namespace {

// Larger than any window a plug-in shows.
constexpr int32_t kLargestSide = 8192;

}  // namespace

bool save_picture(const std::string& path, const Image& picture)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const int32_t size[2] = {picture.width, picture.height};
    bool written = fwrite(size, sizeof size, 1, file) == 1;
    if (written && !picture.pixels.empty())
        written = fwrite(picture.pixels.data(), sizeof(uint32_t), picture.pixels.size(), file) ==
                  picture.pixels.size();
    return fclose(file) == 0 && written;
}

Image load_picture(const std::string& path)
{
    FILE* file = fopen(path.c_str(), "rb");
    if (!file)
        return Image();
    int32_t size[2] = {};
    Image picture;
    if (fread(size, sizeof size, 1, file) == 1 && size[0] > 0 && size[1] > 0 &&
        size[0] <= kLargestSide && size[1] <= kLargestSide) {
        picture = Image(size[0], size[1], 0);
        if (fread(picture.pixels.data(), sizeof(uint32_t), picture.pixels.size(), file) !=
            picture.pixels.size())
            picture = Image();
    }
    fclose(file);
    return picture;
}
