#include "core/imaging/icon_directory.h"

#include "core/errors.h"
#include "core/imaging/byte_reader.h"
#include "core/imaging/icon_image.h"

#include <algorithm>

namespace harpoly {

namespace {
constexpr std::size_t kHeaderSize = 6;
constexpr std::size_t kEntrySize = 16;
} // namespace

bool looksLikeIconFile(std::span<const std::uint8_t> file) {
    ByteReader r(file);
    return r.u16(0) == 0 && r.u16(2) == 1 && r.u16(4) > 0 && r.ok();
}

int directoryDepth(int colorCount, int planes, int bitCount, std::span<const std::uint8_t> image) {
    if (bitCount != 0) {
        // Both fields are 16-bit; a damaged directory may hold any pair.
        return static_cast<int>(std::min<long>(long{std::max(planes, 1)} * bitCount, 1024));
    }
    if (const int own = iconImageDepth(image); own != 0) {
        return own;
    }
    int depth = 0;
    while (colorCount > 1 && (1 << depth) < colorCount) {
        ++depth;
    }
    return depth == 0 ? 8 : depth;
}

std::vector<IconDirectoryEntry> readIconDirectory(std::span<const std::uint8_t> file) {
    if (!looksLikeIconFile(file)) {
        raise(kind::InvalidGraphic);
    }
    ByteReader r(file);
    const std::size_t declared = r.u16(4);
    const std::size_t fits = (file.size() - kHeaderSize) / kEntrySize;
    std::vector<IconDirectoryEntry> entries;
    for (std::size_t i = 0; i < declared && i < fits; ++i) {
        const std::size_t at = kHeaderSize + i * kEntrySize;
        IconDirectoryEntry e;
        e.size.width = r.u8(at) == 0 ? 256 : r.u8(at);
        e.size.height = r.u8(at + 1) == 0 ? 256 : r.u8(at + 1);
        e.data = r.slice(r.u32(at + 12), r.u32(at + 8));
        e.size.depth = directoryDepth(r.u8(at + 2), r.u16(at + 4), r.u16(at + 6), e.data);
        entries.push_back(e);
    }
    if (entries.empty()) {
        raise(kind::InvalidGraphic);
    }
    return entries;
}

} // namespace harpoly
