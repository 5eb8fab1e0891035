#include "core/imaging/icon_directory.h"

#include "core/errors.h"
#include "core/imaging/byte_reader.h"
#include "core/platform/byte_source.h"

#include <algorithm>

namespace harpoly {

namespace {
constexpr std::size_t kHeaderSize = 6;
constexpr std::size_t kEntrySize = 16;
// A DIB of the largest accepted side at 32 bits with its mask is 4.2 MB; a
// PNG of that size, stored without compression, a little more.
constexpr std::uint32_t kMaxIconImageBytes = 16u << 20;
// The part of an image that tells its depth: a DIB header or a PNG signature.
constexpr std::size_t kImageHead = 40;
} // namespace

bool looksLikeIconFile(std::span<const std::uint8_t> head) {
    ByteReader r(head);
    return r.u16(0) == 0 && r.u16(2) == 1 && r.u16(4) > 0 && r.ok();
}

int directoryDepth(int colorCount, int planes, int bitCount,
                   std::span<const std::uint8_t> imageHead) {
    if (bitCount != 0) {
        // Both fields are 16-bit; a damaged directory may hold any pair.
        return static_cast<int>(std::min<long>(long{std::max(planes, 1)} * bitCount, 1024));
    }
    if (const int own = iconImageDepth(imageHead); own != 0) {
        return own;
    }
    int depth = 0;
    while (colorCount > 1 && (1 << depth) < colorCount) {
        ++depth;
    }
    return depth == 0 ? 8 : depth;
}

DirectoryImage directoryEntry(ByteReader& r, std::size_t at) {
    DirectoryImage e;
    e.width = r.u8(at) == 0 ? 256 : r.u8(at);
    e.height = r.u8(at + 1) == 0 ? 256 : r.u8(at + 1);
    e.colorCount = r.u8(at + 2);
    e.planes = r.u16(at + 4);
    e.bitCount = r.u16(at + 6);
    return e;
}

std::vector<DirectoryImage> readIconDirectory(ByteSource& file) {
    const std::vector<std::uint8_t> header = file.bytes(0, kHeaderSize);
    if (!looksLikeIconFile(header)) {
        raise(kind::InvalidGraphic);
    }
    const std::size_t declared = ByteReader(header).u16(4);
    const std::size_t fits = static_cast<std::size_t>(
        std::min<std::uint64_t>(declared, (file.size() - kHeaderSize) / kEntrySize));
    const std::vector<std::uint8_t> table = file.bytes(kHeaderSize, fits * kEntrySize);
    ByteReader r(table);
    std::vector<DirectoryImage> images;
    for (std::size_t i = 0; i < fits; ++i) {
        const std::size_t at = i * kEntrySize;
        DirectoryImage e = directoryEntry(r, at);
        const ResourceSpan data{r.u32(at + 12), r.u32(at + 8)};
        if (file.has(data.offset, data.size)) {
            e.data = data;
        }
        images.push_back(e);
    }
    if (images.empty() || !r.ok()) {
        raise(kind::InvalidGraphic);
    }
    return images;
}

int chooseDirectoryImage(ByteSource& file, const std::vector<DirectoryImage>& images, int size,
                         const DirectoryImageData& dataOf) {
    std::vector<IconCandidate> candidates;
    candidates.reserve(images.size());
    for (const DirectoryImage& e : images) {
        candidates.push_back(
            {e.width, e.height, directoryDepth(e.colorCount, e.planes, e.bitCount, {})});
    }
    const int first = chooseIconImage(candidates, size);
    if (first < 0) {
        return -1;
    }
    // The depth of the entries that tell none comes from the image itself,
    // read only for the images of the chosen size.
    bool refined = false;
    for (std::size_t i = 0; i < images.size(); ++i) {
        const DirectoryImage& e = images[i];
        if (e.bitCount != 0 || candidates[i].width != candidates[first].width ||
            candidates[i].height != candidates[first].height) {
            continue;
        }
        const std::optional<ResourceSpan> data = dataOf(i);
        if (!data) {
            continue;
        }
        const std::vector<std::uint8_t> head =
            file.bytes(data->offset, std::min<std::size_t>(data->size, kImageHead));
        candidates[i].depth = directoryDepth(e.colorCount, e.planes, e.bitCount, head);
        refined = true;
    }
    return refined ? chooseIconImage(candidates, size) : first;
}

IconImage readIconImage(ByteSource& file, const std::optional<ResourceSpan>& data) {
    if (!data || data->size == 0 || data->size > kMaxIconImageBytes) {
        raise(kind::InvalidGraphic);
    }
    const std::vector<std::uint8_t> bytes = file.bytes(data->offset, data->size);
    if (bytes.empty()) {
        raise(kind::InvalidGraphic);
    }
    return decodeIconImage(bytes);
}

} // namespace harpoly
