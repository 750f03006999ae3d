#include "emulation/embed_geometry.h"

namespace {

int32_t wrapping_add(int32_t a, int32_t b)
{
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

int32_t wrapping_sub(int32_t a, int32_t b)
{
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

} // namespace

EmbedPlacement place_embed_window(const EmbedRect& rect, int32_t client_width,
                                  int32_t client_height, int32_t frame_extra_width,
                                  int32_t frame_extra_height)
{
    EmbedPlacement placement{};
    placement.rect = rect;
    placement.x = rect.left;
    placement.y = rect.top;
    placement.flags = kEmbedMoveFlags;

    const bool too_small = rect.right < wrapping_add(rect.left, kMinimumEmbedWidth) ||
                           rect.bottom < wrapping_add(rect.top, kMinimumEmbedHeight);
    placement.accepted = !too_small;
    if (too_small) {
        // The frame keeps its size, and the plug-in is told which size that is.
        placement.rect.right = wrapping_add(rect.left, client_width);
        placement.rect.bottom = wrapping_add(rect.top, client_height);
    } else {
        // With a position the rectangle is the frame's outer one; with the marker the right
        // (bottom) field is the client width (height) itself.
        client_width = rect.left == kPositionMarker
                           ? rect.right
                           : wrapping_sub(rect.right, wrapping_add(rect.left, frame_extra_width));
        client_height = rect.top == kPositionMarker
                            ? rect.bottom
                            : wrapping_sub(rect.bottom, wrapping_add(rect.top, frame_extra_height));
        // Only left decides whether the frame moves.
        if (rect.left == kPositionMarker)
            placement.flags = kEmbedResizeFlags;
    }
    placement.client_width = client_width;
    placement.client_height = client_height;
    placement.width = wrapping_add(client_width, frame_extra_width);
    placement.height = wrapping_add(client_height, frame_extra_height);
    return placement;
}
