#include "ui/browse/preview_images.h"

#include "core/imaging/icon_file.h"

#include <cstring>
#include <memory>
#include <vector>

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

QImage adoptImage(RgbaImage&& image, bool opaque) {
    if (image.empty()) {
        return {};
    }
    using Pixels = std::vector<std::uint32_t>;
    auto pixels = std::make_unique<Pixels>(std::move(image.pixels));
    QImage adopted(
        reinterpret_cast<uchar*>(pixels->data()), image.width, image.height,
        static_cast<qsizetype>(image.width) * 4,
        opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32,
        [](void* owned) { delete static_cast<Pixels*>(owned); }, pixels.get());
    (void)pixels.release(); // the image's now: it frees them with its last copy
    return adopted;
}

DecodedPicture loadIconPreview(const std::string& path) {
    DecodedPicture picture;
    picture.image = loadIconFileImage(path);
    picture.width = picture.image.width;
    picture.height = picture.image.height;
    return picture;
}

} // namespace harpoly::ui
