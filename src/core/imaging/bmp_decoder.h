#pragma once

#include "core/imaging/decoded_picture.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace harpoly {

class ByteSource;

// The most pixels a bitmap is decoded to (64 MB of picture): a larger one is
// decoded at a reduced scale, every n-th row and column, which a preview
// pane cannot tell from the whole. A run-length bitmap gets at most what its
// data can draw (128 pixels a byte), and never less than kMinRunLengthPixels.
inline constexpr std::int64_t kMaxBitmapPixels = 1 << 24;
inline constexpr std::int64_t kMinRunLengthPixels = 1 << 20;

// Reads a Windows bitmap: 1, 4, 8, 16, 24 and 32 bits per pixel, BI_RGB,
// BI_BITFIELDS, RLE8 and RLE4, bottom-up and top-down rows. The header is
// checked before anything else is read, and only the rows that are decoded
// are read. Data that is not a valid bitmap (wrong signature, sizes that do
// not fit the file, a bad palette or compression) throws
// Error(kind::InvalidGraphic); a file that cannot be read throws
// Error(kind::FOpen). `width` and `height` are the picture's own size; the
// image is smaller when the budget above asks for it.
DecodedPicture decodeBmp(ByteSource& source);
DecodedPicture decodeBmpFile(const std::string& path);
DecodedPicture decodeBmpMemory(const unsigned char* data, std::size_t size);

} // namespace harpoly
