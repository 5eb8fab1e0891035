#include "core/imaging/icon_file.h"

#include "core/errors.h"
#include "core/imaging/icon_directory.h"
#include "core/imaging/icon_image.h"
#include "core/platform/byte_source.h"

namespace harpoly {

RgbaImage loadIconFileImage(const std::string& path) {
    // The header and the directory, then the one image chosen: a large file
    // of another kind named .ico, or a huge one with an icon header, costs a
    // few small reads.
    FileSource file(path);
    file.allowReading(kIconTableReadAllowance);
    const std::vector<DirectoryImage> images = readIconDirectory(file);
    const int chosen = chooseDirectoryImage(file, images, kLargeIconSize,
                                            [&](std::size_t i) { return images[i].data; });
    if (chosen < 0) {
        raise(kind::InvalidGraphic);
    }
    const std::optional<ResourceSpan>& data = images[static_cast<std::size_t>(chosen)].data;
    file.allowReading(kIconTableReadAllowance + (data ? data->size : 0));
    return drawIconOnWhite(readIconImage(file, data));
}

} // namespace harpoly
