#pragma once

#include "core/batch/jpeg_size_reader.h"

#include <string>
#include <string_view>

namespace harpoly {

// A picture's own width and height from its header alone, read at once (a few
// kilobytes at most) so that the information line can be written before the
// picture is decoded. The format is chosen by the lower-case extension (dot
// included) as loadPreviewPicture chooses it: ".jpg" and ".jpeg" JPEG, ".bmp"
// Windows bitmap; every other extension throws Error(kind::InvalidGraphic).
// A header that the decoder would refuse throws what the decoder throws
// (EJPEG for a JPEG header, EInvalidGraphic for a bitmap's, EFOpenError for a
// file that cannot be opened); the rest of the file is checked by the decode.
PixelSize readPictureSize(const std::string& path, std::string_view extLower);

// Whether loadPreviewPicture has a decoder for the lower-case extension.
bool hasPictureDecoder(std::string_view extLower);

// The width and height in a bitmap's file and information headers (the first
// 26 bytes). Throws Error(kind::InvalidGraphic) when they are not there.
PixelSize bmpHeaderSize(const unsigned char* data, std::size_t size);

} // namespace harpoly
