#include "tools/player/image.h"

#include <algorithm>

void paste_image(Image& target, const Image& source, int left, int top)
{
    const int first_x = std::max(0, -left);
    const int last_x = std::min(source.width, target.width - left);
    const int first_y = std::max(0, -top);
    const int last_y = std::min(source.height, target.height - top);
    for (int y = first_y; y < last_y; ++y) {
        for (int x = first_x; x < last_x; ++x)
            target.pixels[static_cast<size_t>(top + y) * target.width + left + x] = source.at(x, y);
    }
}

Image place_side_by_side(const Image& left, const Image& right, int gap, uint32_t background)
{
    const int right_start = right.width > 0 ? left.width + gap : left.width;
    Image result(right_start + right.width, std::max(left.height, right.height), background);
    paste_image(result, left, 0, 0);
    paste_image(result, right, right_start, 0);
    return result;
}

bool has_drawing(const Image& picture)
{
    if (picture.pixels.empty())
        return false;
    const uint32_t first = picture.pixels.front();
    return std::any_of(picture.pixels.begin(), picture.pixels.end(),
                       [first](uint32_t pixel) { return pixel != first; });
}

Image scale_to_fit(const Image& source, int width, int height)
{
    if (source.width <= 0 || source.height <= 0 || width <= 0 || height <= 0)
        return Image();
    const double scale = std::min({1.0, static_cast<double>(width) / source.width,
                                   static_cast<double>(height) / source.height});
    const int out_width = std::max(1, static_cast<int>(source.width * scale));
    const int out_height = std::max(1, static_cast<int>(source.height * scale));
    Image scaled(out_width, out_height, 0);
    for (int y = 0; y < out_height; ++y) {
        const int from_y = std::min(source.height - 1, static_cast<int>(y / scale));
        for (int x = 0; x < out_width; ++x) {
            const int from_x = std::min(source.width - 1, static_cast<int>(x / scale));
            scaled.pixels[static_cast<size_t>(y) * out_width + x] = source.at(from_x, from_y);
        }
    }
    return scaled;
}
