#pragma once

#include "core/imaging/image.h"

#include <string>

namespace harpoly {

// The picture of an icon file (.ico) as the preview shows it: the image
// nearest the standard 32-pixel icon size (best colour depth among equals),
// at its own size, drawn on white through its mask. Reads 1, 4, 8, 24 and
// 32-bit images with their AND mask, and PNG-compressed images.
// Throws Error(kind::FOpen) when the file cannot be read and
// Error(kind::InvalidGraphic) when it is not a sound icon file.
RgbaImage loadIconFileImage(const std::string& path);

} // namespace harpoly
