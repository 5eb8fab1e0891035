#pragma once

#include "core/imaging/image.h"

#include <cstdint>
#include <span>
#include <vector>

namespace harpoly {

// One image of an icon as the system holds it: a colour image and the 1-bit
// transparency mask that goes with it.
struct IconImage {
    int width = 0;
    int height = 0;
    // 0xAARRGGBB, rows top to bottom. The alpha byte counts only when hasAlpha.
    std::vector<std::uint32_t> color;
    // One byte per pixel, 1 where the pixel is transparent (the AND mask).
    std::vector<std::uint8_t> mask;
    // 32-bit images with any non-zero alpha byte, and PNG images, are drawn by
    // blending with their alpha channel; every other image through its mask.
    bool hasAlpha = false;
};

// Largest width or height accepted for one icon image. Icons stop at 256
// pixels; the limit keeps a damaged header from asking for huge buffers.
inline constexpr int kMaxIconSide = 1024;

// Decodes one icon image: a device-independent bitmap (1, 4, 8, 24 or 32 bits
// per pixel, its height doubled for the AND mask that follows the colour rows)
// or a PNG stream. Throws Error(kind::InvalidGraphic) on damaged data.
IconImage decodeIconImage(std::span<const std::uint8_t> data);

// Bits per pixel of an icon image from its header (32 for PNG), 0 when unknown.
int iconImageDepth(std::span<const std::uint8_t> data);

// Nearest-neighbour resize of colour and mask to `width` by `height`.
IconImage scaleIconImage(const IconImage& image, int width, int height);

// The icon drawn at its own size on a white picture: transparent pixels stay
// white, inverting mask pixels invert it, alpha pixels blend with it.
RgbaImage drawIconOnWhite(const IconImage& image);

} // namespace harpoly
