#include "core/imaging/icon_source.h"

#include "core/errors.h"
#include "core/imaging/byte_reader.h"
#include "core/imaging/icon_directory.h"
#include "core/platform/whole_file.h"

namespace harpoly {

namespace {

constexpr std::size_t kGroupHeader = 6;
constexpr std::size_t kGroupEntry = 14;

// The first bytes of a file, to tell programs and icon files from the rest
// without reading a large video or archive whole.
bool mayCarryIcons(const std::string& path) {
    try {
        const FileBytes head = readFileHead(path, 6);
        if (head.size < 6) {
            return false;
        }
        const std::span<const std::uint8_t> bytes(head.data.get(), head.size);
        return (bytes[0] == 'M' && bytes[1] == 'Z') || looksLikeIconFile(bytes);
    } catch (const Error&) {
        return false;
    }
}

} // namespace

IconSource IconSource::fromFile(const std::string& path) {
    if (!mayCarryIcons(path)) {
        return IconSource{};
    }
    try {
        const FileBytes file = readFileHead(path, kNoReadCap);
        return fromBytes({file.data.get(), file.data.get() + file.size});
    } catch (const Error&) {
        return IconSource{};
    }
}

IconSource IconSource::fromBytes(std::vector<std::uint8_t> bytes) {
    IconSource source;
    source.bytes_ = std::move(bytes);
    if (looksLikeIconFile(source.bytes_)) {
        source.kind_ = Kind::IconFile;
    } else {
        source.resources_ = readPeIconResources(source.bytes_);
        // Only groups that hold an icon directory count as icons.
        std::erase_if(source.resources_.groups, [](const PeResource& group) {
            ByteReader r(group.data);
            return r.u16(0) != 0 || r.u16(2) != 1 || r.u16(4) == 0 || !r.ok();
        });
        if (!source.resources_.groups.empty()) {
            source.kind_ = Kind::Program;
        }
    }
    return source;
}

int IconSource::count() const {
    switch (kind_) {
    case Kind::IconFile:
        return 1;
    case Kind::Program:
        return static_cast<int>(resources_.groups.size());
    default:
        return 0;
    }
}

IconImage IconSource::icon(int index, int size) const {
    if (index < 0 || index >= count()) {
        raise(kind::InvalidGraphic);
    }
    std::span<const std::uint8_t> chosen;
    if (kind_ == Kind::IconFile) {
        const std::vector<IconDirectoryEntry> entries = readIconDirectory(bytes_);
        std::vector<IconCandidate> candidates;
        for (const auto& e : entries) {
            candidates.push_back(e.size);
        }
        const int best = chooseIconImage(candidates, size);
        chosen = best < 0 ? std::span<const std::uint8_t>{} : entries[best].data;
    } else {
        chosen = groupImage(resources_.groups[index].data, size);
    }
    if (chosen.empty()) {
        raise(kind::InvalidGraphic);
    }
    return scaleIconImage(decodeIconImage(chosen), size, size);
}

std::span<const std::uint8_t> IconSource::groupImage(std::span<const std::uint8_t> group,
                                                     int size) const {
    ByteReader r(group);
    if (r.u16(0) != 0 || r.u16(2) != 1 || !r.ok()) {
        return {};
    }
    const std::size_t declared = r.u16(4);
    const std::size_t fits = (group.size() - kGroupHeader) / kGroupEntry;
    std::vector<IconCandidate> candidates;
    std::vector<std::span<const std::uint8_t>> images;
    for (std::size_t i = 0; i < declared && i < fits; ++i) {
        const std::size_t at = kGroupHeader + i * kGroupEntry;
        const std::uint16_t id = r.u16(at + 12);
        std::span<const std::uint8_t> image;
        for (const PeResource& res : resources_.icons) {
            if (res.id == id) {
                image = res.data;
                break;
            }
        }
        IconCandidate c;
        c.width = r.u8(at) == 0 ? 256 : r.u8(at);
        c.height = r.u8(at + 1) == 0 ? 256 : r.u8(at + 1);
        c.depth = directoryDepth(r.u8(at + 2), r.u16(at + 4), r.u16(at + 6), image);
        candidates.push_back(c);
        images.push_back(image);
    }
    const int best = chooseIconImage(candidates, size);
    return best < 0 ? std::span<const std::uint8_t>{} : images[best];
}

} // namespace harpoly
