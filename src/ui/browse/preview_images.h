#pragma once

#include "core/imaging/decoded_picture.h"

#include <QImage>
#include <string>

namespace harpoly::ui {

// A decoded picture as a QImage (a deep copy).
QImage toQImage(const RgbaImage& image);
// The same without a copy: the QImage takes over the pixels. `opaque` (every
// alpha 0xFF, as a JPEG's are) gives an image without alpha, drawn faster.
QImage adoptImage(RgbaImage&& image, bool opaque);

// The picture of an icon file at its own size, its transparent parts white.
// Throws harpoly::Error as the icon reader does.
DecodedPicture loadIconPreview(const std::string& path);

} // namespace harpoly::ui
