#pragma once

#include "core/imaging/decoded_picture.h"

#include <cstddef>
#include <string>

namespace harpoly {

// The largest decoded size we ever allocate, in pixels (after scaling).
inline constexpr long long kMaxDecodedPixels = 100'000'000;

// The libjpeg scale denominator (1, 2, 4 or 8) giving the smallest output that
// is still at least `needWidth` x `needHeight` when the picture is drawn by the
// fit rule into that box. A box of 0 x 0 asks for the full size (denominator 1).
int jpegScaleDenominator(int width, int height, int needWidth, int needHeight);

// Decodes a JPEG file or buffer at the scale chosen above (pass 0, 0 for the
// full size). Greyscale, colour, CMYK/YCCK (Adobe inverted included) and
// progressive files are accepted. Throws Error(kind::JPEG) for data that
// libjpeg refuses or that is cut short, Error(kind::FOpen) when the file
// cannot be read, and Error(kind::InvalidGraphic) when even the smallest scale
// would exceed kMaxDecodedPixels.
DecodedPicture decodeJpegFile(const std::string& path, int needWidth = 0, int needHeight = 0);
DecodedPicture decodeJpegMemory(const unsigned char* data, std::size_t size, int needWidth = 0,
                                int needHeight = 0);
// The same for `target`: its box chooses the scale, and it may ask for the
// drawn size exactly and stop the decode.
DecodedPicture decodeJpegFile(const std::string& path, const DecodeTarget& target);
DecodedPicture decodeJpegMemory(const unsigned char* data, std::size_t size,
                                const DecodeTarget& target);

} // namespace harpoly
