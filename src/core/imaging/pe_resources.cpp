#include "core/imaging/byte_reader.h"
#include "core/imaging/program_resources.h"
#include "core/platform/byte_source.h"

#include <algorithm>

namespace harpoly {

namespace {

constexpr std::uint16_t kMz = 0x5A4D;
constexpr std::uint32_t kPeSignature = 0x00004550; // "PE\0\0"
constexpr std::uint16_t kPe32 = 0x10B;
constexpr std::uint16_t kPe32Plus = 0x20B;
constexpr std::uint32_t kResourceDirectoryIndex = 2;
constexpr std::uint32_t kSubdirectoryBit = 0x80000000u;
constexpr std::uint32_t kNameBit = 0x80000000u;
constexpr std::size_t kDirectoryHeader = 16;
constexpr std::size_t kDirectoryEntry = 8;
constexpr std::size_t kDataEntry = 16;
constexpr std::size_t kSectionHeader = 40;

struct Section {
    std::uint32_t virtualAddress;
    std::uint32_t virtualSize;
    std::uint32_t rawSize;
    std::uint32_t rawOffset;
};

struct PeLayout {
    std::vector<Section> sections;
    std::uint32_t resourceRva = 0;
};

bool readLayout(ByteSource& file, PeLayout& layout) {
    const std::vector<std::uint8_t> dos = file.bytes(0, 64);
    ByteReader d(dos);
    if (d.u16(0) != kMz || !d.ok()) {
        return false;
    }
    const std::uint64_t pe = d.u32(0x3C);
    // The signature and the COFF header.
    const std::vector<std::uint8_t> head = file.bytes(pe, 24);
    ByteReader h(head);
    if (h.u32(0) != kPeSignature || !h.ok()) {
        return false;
    }
    const std::uint16_t sectionCount = h.u16(6);
    const std::uint16_t optionalSize = h.u16(20);
    const std::uint64_t optionalAt = pe + 24;
    const std::vector<std::uint8_t> optional = file.bytes(optionalAt, optionalSize);
    ByteReader o(optional);
    const std::uint16_t magic = o.u16(0);
    std::size_t directoryCountAt = 0;
    if (magic == kPe32) {
        directoryCountAt = 92;
    } else if (magic == kPe32Plus) {
        directoryCountAt = 108;
    } else {
        return false;
    }
    const std::uint32_t directoryCount = o.u32(directoryCountAt);
    const std::size_t resourceEntry = directoryCountAt + 4 + 8 * kResourceDirectoryIndex;
    if (!o.ok() || directoryCount <= kResourceDirectoryIndex || !o.has(resourceEntry, 8)) {
        return false;
    }
    layout.resourceRva = o.u32(resourceEntry);
    // A section table cannot be longer than the file that holds it.
    const std::size_t tableSize = std::size_t{sectionCount} * kSectionHeader;
    const std::vector<std::uint8_t> table = file.bytes(optionalAt + optionalSize, tableSize);
    if (table.size() != tableSize) {
        return false;
    }
    ByteReader t(table);
    for (std::size_t i = 0; i < sectionCount; ++i) {
        const std::size_t at = i * kSectionHeader;
        layout.sections.push_back({t.u32(at + 12), t.u32(at + 8), t.u32(at + 16), t.u32(at + 20)});
    }
    return layout.resourceRva != 0;
}

// File offset of `rva` and the bytes from there to the end of its section's
// data in the file; false when no section holds it.
bool mapRva(const PeLayout& layout, std::uint64_t fileSize, std::uint32_t rva,
            std::uint64_t& offset, std::uint64_t& available) {
    for (const Section& s : layout.sections) {
        const std::uint32_t span = std::max(s.virtualSize, s.rawSize);
        if (rva < s.virtualAddress || rva - s.virtualAddress >= span) {
            continue;
        }
        const std::uint32_t delta = rva - s.virtualAddress;
        if (delta >= s.rawSize) {
            return false; // in the section's zero-filled tail: not in the file
        }
        const std::uint64_t at = std::uint64_t{s.rawOffset} + delta;
        if (at >= fileSize) {
            return false;
        }
        offset = at;
        available = std::min<std::uint64_t>(s.rawSize - delta, fileSize - at);
        return true;
    }
    return false;
}

// The resource tree of the resource section: three fixed levels (type, name,
// language), so no walk can loop; every read is checked against the section.
class ResourceTree {
public:
    ResourceTree(ByteSource& file, PeLayout layout, std::uint64_t base, std::uint64_t length)
        : file_(file), layout_(std::move(layout)), base_(base), length_(length) {}

    // Entries (id, target) of the directory at `offset` from the section's
    // start, as many as lie inside the section.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> entries(std::uint32_t offset) const {
        std::vector<std::pair<std::uint32_t, std::uint32_t>> out;
        if (offset > length_ || length_ - offset < kDirectoryHeader) {
            return out;
        }
        const std::vector<std::uint8_t> headerBytes = file_.bytes(base_ + offset, kDirectoryHeader);
        ByteReader header(headerBytes);
        const std::size_t count = std::size_t{header.u16(12)} + header.u16(14);
        if (!header.ok()) {
            return out;
        }
        const std::uint64_t fits = (length_ - offset - kDirectoryHeader) / kDirectoryEntry;
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(count, fits));
        const std::vector<std::uint8_t> bytes =
            file_.bytes(base_ + offset + kDirectoryHeader, n * kDirectoryEntry);
        ByteReader r(bytes);
        for (std::size_t i = 0; i < n && r.ok(); ++i) {
            out.emplace_back(r.u32(i * kDirectoryEntry), r.u32(i * kDirectoryEntry + 4));
        }
        return out;
    }

    // The data that a name-level entry's `target` leads to: a data entry, or
    // a language directory whose first entry is one.
    std::optional<ResourceSpan> data(std::uint32_t target) const {
        std::uint32_t entry = target;
        if (target & kSubdirectoryBit) {
            const std::uint32_t language = target & ~kSubdirectoryBit;
            if (language > length_ || length_ - language < kDirectoryHeader + kDirectoryEntry) {
                return std::nullopt;
            }
            const std::vector<std::uint8_t> directory =
                file_.bytes(base_ + language, kDirectoryHeader + kDirectoryEntry);
            ByteReader r(directory);
            const std::size_t count = std::size_t{r.u16(12)} + r.u16(14);
            entry = r.u32(kDirectoryHeader + 4);
            if (!r.ok() || count == 0 || (entry & kSubdirectoryBit)) {
                return std::nullopt;
            }
        }
        if (entry > length_ || length_ - entry < kDataEntry) {
            return std::nullopt;
        }
        const std::vector<std::uint8_t> dataEntry = file_.bytes(base_ + entry, 8);
        ByteReader r(dataEntry);
        const std::uint32_t rva = r.u32(0);
        const std::uint32_t size = r.u32(4);
        std::uint64_t offset = 0;
        std::uint64_t available = 0;
        if (!r.ok() || !mapRva(layout_, file_.size(), rva, offset, available) || size > available) {
            return std::nullopt;
        }
        return ResourceSpan{offset, size};
    }

private:
    ByteSource& file_;
    PeLayout layout_;
    std::uint64_t base_;
    std::uint64_t length_;
};

class PeIconResources final : public ProgramIconResources {
public:
    PeIconResources(ByteSource& file, PeLayout layout, std::uint64_t base, std::uint64_t length)
        : file_(file), tree_(file, std::move(layout), base, length) {
        // Only the first directory of each type counts, as a lookup by type
        // finds one: a root that names a type many times is read once.
        std::optional<std::uint32_t> groupDirectory;
        for (const auto& [type, target] : tree_.entries(0)) {
            if (!(target & kSubdirectoryBit)) {
                continue;
            }
            if (type == kResourceGroupIcon && !groupDirectory) {
                groupDirectory = target & ~kSubdirectoryBit;
            } else if (type == kResourceIcon && !iconDirectory_) {
                iconDirectory_ = target & ~kSubdirectoryBit;
            }
        }
        if (!groupDirectory) {
            return;
        }
        for (const auto& [name, target] : tree_.entries(*groupDirectory)) {
            (void)name;
            const std::optional<ResourceSpan> group = tree_.data(target);
            if (group && isIconGroupHeader(file_, *group)) {
                groups_.push_back(*group);
            }
        }
    }

    std::optional<ResourceSpan> image(std::uint16_t id) override {
        if (!indexed_) {
            buildIndex();
        }
        const auto it = std::lower_bound(index_.begin(), index_.end(), id,
                                         [](const std::pair<std::uint16_t, std::uint32_t>& e,
                                            std::uint16_t v) { return e.first < v; });
        if (it == index_.end() || it->first != id) {
            return std::nullopt;
        }
        return tree_.data(it->second);
    }

private:
    // The icon images by id, read from their name directory once; an id named
    // twice finds the first, as the table lists them.
    void buildIndex() {
        indexed_ = true;
        if (!iconDirectory_) {
            return;
        }
        for (const auto& [name, target] : tree_.entries(*iconDirectory_)) {
            if (!(name & kNameBit) && name <= 0xFFFF) {
                index_.emplace_back(static_cast<std::uint16_t>(name), target);
            }
        }
        std::stable_sort(index_.begin(), index_.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
    }

    ByteSource& file_;
    ResourceTree tree_;
    std::optional<std::uint32_t> iconDirectory_;
    bool indexed_ = false;
    std::vector<std::pair<std::uint16_t, std::uint32_t>> index_;
};

} // namespace

bool isIconGroupHeader(ByteSource& file, const ResourceSpan& group) {
    if (group.size < 6) {
        return false;
    }
    const std::vector<std::uint8_t> header = file.bytes(group.offset, 6);
    ByteReader r(header);
    return r.u16(0) == 0 && r.u16(2) == 1 && r.u16(4) != 0 && r.ok();
}

std::unique_ptr<ProgramIconResources> readPeIconResources(ByteSource& file) {
    PeLayout layout;
    if (!readLayout(file, layout)) {
        return nullptr;
    }
    std::uint64_t base = 0;
    std::uint64_t length = 0;
    if (!mapRva(layout, file.size(), layout.resourceRva, base, length)) {
        return nullptr;
    }
    return std::make_unique<PeIconResources>(file, std::move(layout), base, length);
}

} // namespace harpoly
