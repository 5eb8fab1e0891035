#pragma once

#include "core/imaging/decoded_picture.h"

#include <cstddef>
#include <string>

namespace harpoly {

// Reads a Windows bitmap: 1, 4, 8, 16, 24 and 32 bits per pixel, BI_RGB,
// BI_BITFIELDS, RLE8 and RLE4, bottom-up and top-down rows. Data that is not
// a valid bitmap (wrong signature, sizes that do not fit the file or exceed
// kMaxDecodedPixels, a bad palette or compression) throws
// Error(kind::InvalidGraphic); a file that cannot be read throws Error(kind::FOpen).
// The picture is always returned at its own size.
DecodedPicture decodeBmpFile(const std::string& path);
DecodedPicture decodeBmpMemory(const unsigned char* data, std::size_t size);

} // namespace harpoly
