#pragma once

#include "core/imaging/decoded_picture.h"

#include <QImage>
#include <string>

namespace harpoly::ui {

// A decoded picture as a QImage (a deep copy).
QImage toQImage(const RgbaImage& image);

// The picture of an icon file at its own size, its transparent parts white.
// Throws harpoly::Error as the icon reader does.
DecodedPicture loadIconPreview(const std::string& path);

} // namespace harpoly::ui
