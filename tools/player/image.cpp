#include "tools/player/image.h"

#include <algorithm>

namespace {

void copy_into(Image& target, const Image& source, int left)
{
    for (int y = 0; y < source.height; ++y)
        std::copy_n(source.pixels.begin() + static_cast<size_t>(y) * source.width, source.width,
                    target.pixels.begin() + static_cast<size_t>(y) * target.width + left);
}

}  // namespace

Image place_side_by_side(const Image& left, const Image& right, int gap, uint32_t background)
{
    const int right_start = right.width > 0 ? left.width + gap : left.width;
    Image result(right_start + right.width, std::max(left.height, right.height), background);
    copy_into(result, left, 0);
    copy_into(result, right, right_start);
    return result;
}
