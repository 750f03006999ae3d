// A plain RGB picture, and putting two of them side by side for the screenshot.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct Image {
    int width = 0;
    int height = 0;
    // Row by row from the top, each pixel 0x00RRGGBB.
    std::vector<uint32_t> pixels;

    Image() = default;
    Image(int w, int h, uint32_t fill) : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill) {}
    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Copies source onto target with its top-left corner at (left, top); what falls outside
// target is left out.
void paste_image(Image& target, const Image& source, int left, int top);

// left at the top-left, right beside it after gap pixels, both top-aligned, on background.
Image place_side_by_side(const Image& left, const Image& right, int gap, uint32_t background);

// True when the picture holds more than one colour: something was drawn on the background.
bool has_drawing(const Image& picture);

// The picture made smaller, never larger, to fit width x height with its proportions kept;
// each pixel is the one nearest in the source.
Image scale_to_fit(const Image& source, int width, int height);
