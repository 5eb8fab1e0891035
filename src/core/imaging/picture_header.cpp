#include "core/imaging/picture_header.h"

#include "core/errors.h"
#include "core/platform/whole_file.h"

#include <cstdint>
#include <cstdlib>
#include <limits>

namespace harpoly {

namespace {

// The file header (14 bytes), the information header's size and its width
// and height: 12 more for the oldest (OS/2) header, whose sizes are 16-bit.
constexpr std::size_t kBmpSizeBytes = 26;

std::uint32_t le16(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0] | p[1] << 8);
}

std::uint32_t le32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

} // namespace

PixelSize bmpHeaderSize(const unsigned char* data, std::size_t size) {
    if (size < kBmpSizeBytes || data[0] != 'B' || data[1] != 'M') {
        raise(kind::InvalidGraphic, "not a bitmap");
    }
    const std::uint32_t infoSize = le32(data + 14);
    std::int64_t width = 0;
    std::int64_t height = 0;
    if (infoSize == 12) {
        width = le16(data + 18);
        height = le16(data + 20);
    } else if (infoSize >= 40) {
        width = static_cast<std::int32_t>(le32(data + 18));
        // A negative height marks rows stored top-down.
        height = std::abs(static_cast<std::int64_t>(static_cast<std::int32_t>(le32(data + 22))));
    }
    // An empty picture, or one whose height has no positive counterpart, is
    // refused by the decoder too.
    if (width <= 0 || height <= 0 || height > std::numeric_limits<std::int32_t>::max()) {
        raise(kind::InvalidGraphic, "bad bitmap header");
    }
    return {static_cast<int>(width), static_cast<int>(height)};
}

bool hasPictureDecoder(std::string_view extLower) {
    return extLower == ".jpg" || extLower == ".jpeg" || extLower == ".bmp";
}

PixelSize readPictureSize(const std::string& path, std::string_view extLower) {
    if (extLower == ".jpg" || extLower == ".jpeg") {
        JpegSizeReader reader;
        const PixelSize size = reader.read(path);
        if (size.width <= 0 || size.height <= 0) {
            raise(kind::JPEG, "empty JPEG file");
        }
        return size;
    }
    if (extLower == ".bmp") {
        const FileBytes head = readFileHead(path, kBmpSizeBytes);
        return bmpHeaderSize(head.data.get(), head.size);
    }
    raise(kind::InvalidGraphic);
}

} // namespace harpoly
