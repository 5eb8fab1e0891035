#pragma once

#include "core/imaging/image.h"

#include <cstdint>
#include <span>

namespace harpoly {

bool isPngSignature(std::span<const std::uint8_t> data);

// Decodes a PNG stream held in memory into 8-bit RGBA (0xAARRGGBB pixels).
// Images wider or higher than `maxSide` are refused. Damaged data throws
// Error(kind::InvalidGraphic); libpng never prints or ends the process.
RgbaImage decodePng(std::span<const std::uint8_t> data, int maxSide);

} // namespace harpoly
