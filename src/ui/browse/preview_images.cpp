#include "ui/browse/preview_images.h"

#include "core/imaging/icon_file.h"

#include <cstring>

namespace harpoly::ui {

QImage toQImage(const RgbaImage& image) {
    if (image.empty()) {
        return {};
    }
    QImage out(image.width, image.height, QImage::Format_ARGB32);
    for (int y = 0; y < image.height; ++y) {
        std::memcpy(out.scanLine(y),
                    image.pixels.data() + static_cast<std::size_t>(y) * image.width,
                    static_cast<std::size_t>(image.width) * 4);
    }
    return out;
}

DecodedPicture loadIconPreview(const std::string& path) {
    DecodedPicture picture;
    picture.image = loadIconFileImage(path);
    picture.width = picture.image.width;
    picture.height = picture.image.height;
    return picture;
}

} // namespace harpoly::ui
