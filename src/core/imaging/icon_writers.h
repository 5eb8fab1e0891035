#pragma once

#include "core/imaging/icon_image.h"
#include "core/imaging/image.h"

#include <cstdint>
#include <vector>

namespace harpoly {

// The system's standard 16-colour palette, 0x00RRGGBB, in palette order.
extern const std::uint32_t kStandardPalette16[16];

// Index of the palette colour nearest to `rgb` (least squared distance; the
// first on a tie).
int nearestStandardColor(std::uint32_t rgb);

// A one-image icon file of 16 colours: 4-bit colour image in the standard
// palette, each pixel its nearest colour, and a 1-bit mask (1 = transparent).
// 766 bytes for a 32 by 32 icon.
std::vector<std::uint8_t> encodeIco16(const IconImage& icon);

// An uncompressed Windows bitmap of 32 bits per pixel, rows bottom up.
std::vector<std::uint8_t> encodeBmp32(const RgbaImage& picture);

// A baseline JPEG of three components (quality 90, floating-point DCT) of the
// picture's red, green and blue. libjpeg errors throw Error(kind::JPEG).
std::vector<std::uint8_t> encodeJpeg(const RgbaImage& picture, int quality = 90);

} // namespace harpoly
