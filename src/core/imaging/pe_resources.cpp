#include "core/imaging/pe_resources.h"

#include "core/imaging/byte_reader.h"

#include <algorithm>
#include <set>

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
    std::uint32_t resourceSize = 0;
};

bool readLayout(ByteReader& r, PeLayout& layout) {
    if (r.u16(0) != kMz) {
        return false;
    }
    const std::uint32_t pe = r.u32(0x3C);
    if (!r.ok() || r.u32(pe) != kPeSignature) {
        return false;
    }
    const std::size_t coff = std::size_t{pe} + 4;
    const std::uint16_t sectionCount = r.u16(coff + 2);
    const std::uint16_t optionalSize = r.u16(coff + 16);
    const std::size_t optional = coff + 20;
    const std::uint16_t magic = r.u16(optional);
    std::size_t directoryCountAt = 0;
    if (magic == kPe32) {
        directoryCountAt = optional + 92;
    } else if (magic == kPe32Plus) {
        directoryCountAt = optional + 108;
    } else {
        return false;
    }
    const std::uint32_t directoryCount = r.u32(directoryCountAt);
    const std::size_t directoryEnd =
        directoryCountAt + 4 + 8 * std::size_t{kResourceDirectoryIndex + 1};
    if (!r.ok() || directoryCount <= kResourceDirectoryIndex ||
        directoryEnd > optional + optionalSize) {
        return false;
    }
    const std::size_t resourceEntry = directoryCountAt + 4 + 8 * kResourceDirectoryIndex;
    layout.resourceRva = r.u32(resourceEntry);
    layout.resourceSize = r.u32(resourceEntry + 4);
    const std::size_t table = optional + optionalSize;
    // A section table cannot be longer than the file that holds it.
    if (!r.has(table, std::size_t{sectionCount} * kSectionHeader)) {
        return false;
    }
    for (std::size_t i = 0; i < sectionCount; ++i) {
        const std::size_t at = table + i * kSectionHeader;
        layout.sections.push_back({r.u32(at + 12), r.u32(at + 8), r.u32(at + 16), r.u32(at + 20)});
    }
    return r.ok() && layout.resourceRva != 0;
}

// File offset of `rva` and the bytes from there to the end of its section's
// data in the file; false when no section holds it.
bool mapRva(const PeLayout& layout, std::size_t fileSize, std::uint32_t rva, std::size_t& offset,
            std::size_t& available) {
    for (const Section& s : layout.sections) {
        const std::uint32_t span = std::max(s.virtualSize, s.rawSize);
        if (rva < s.virtualAddress || rva - s.virtualAddress >= span) {
            continue;
        }
        const std::uint32_t delta = rva - s.virtualAddress;
        if (delta >= s.rawSize) {
            return false; // in the section's zero-filled tail: not in the file
        }
        const std::size_t at = std::size_t{s.rawOffset} + delta;
        if (at >= fileSize) {
            return false;
        }
        offset = at;
        available = std::min<std::size_t>(s.rawSize - delta, fileSize - at);
        return true;
    }
    return false;
}

class ResourceWalker {
public:
    ResourceWalker(ByteReader& r, const PeLayout& layout, std::size_t base, std::size_t length)
        : r_(r), layout_(layout), base_(base), length_(length) {}

    // Entries (id, offset field) of the directory at `offset` from the base.
    // Empty when the directory lies outside the section or was seen before.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> entries(std::uint32_t offset) {
        std::vector<std::pair<std::uint32_t, std::uint32_t>> out;
        if (!visited_.insert(offset).second || offset > length_ ||
            length_ - offset < kDirectoryHeader) {
            return out;
        }
        const std::size_t at = base_ + offset;
        const std::size_t count = std::size_t{r_.u16(at + 12)} + r_.u16(at + 14);
        const std::size_t fits = (length_ - offset - kDirectoryHeader) / kDirectoryEntry;
        for (std::size_t i = 0; i < count && i < fits; ++i) {
            const std::size_t e = at + kDirectoryHeader + i * kDirectoryEntry;
            out.emplace_back(r_.u32(e), r_.u32(e + 4));
        }
        return out;
    }

    // The data of the first language of the resource whose name-level entry
    // points at `target` (a subdirectory), or of `target` itself when it is a
    // data entry.
    std::span<const std::uint8_t> firstData(std::uint32_t target) {
        if (target & kSubdirectoryBit) {
            for (const auto& [lang, next] : entries(target & ~kSubdirectoryBit)) {
                (void)lang;
                if (!(next & kSubdirectoryBit)) {
                    return dataOf(next);
                }
            }
            return {};
        }
        return dataOf(target);
    }

private:
    std::span<const std::uint8_t> dataOf(std::uint32_t entry) {
        if (entry > length_ || length_ - entry < 16) {
            return {};
        }
        const std::uint32_t rva = r_.u32(base_ + entry);
        const std::uint32_t size = r_.u32(base_ + entry + 4);
        std::size_t offset = 0;
        std::size_t available = 0;
        if (!mapRva(layout_, r_.size(), rva, offset, available) || size > available) {
            return {};
        }
        return r_.slice(offset, size);
    }

    ByteReader& r_;
    const PeLayout& layout_;
    std::size_t base_;
    std::size_t length_;
    std::set<std::uint32_t> visited_;
};

} // namespace

PeIconResources readPeIconResources(std::span<const std::uint8_t> file) {
    PeIconResources out;
    ByteReader r(file);
    PeLayout layout;
    if (!readLayout(r, layout)) {
        return out;
    }
    std::size_t base = 0;
    std::size_t length = 0;
    if (!mapRva(layout, file.size(), layout.resourceRva, base, length)) {
        return out;
    }
    // Three levels: type, name, language. Each directory is read at most once.
    ResourceWalker walker(r, layout, base, length);
    for (const auto& [type, typeTarget] : walker.entries(0)) {
        if ((type != kResourceIcon && type != kResourceGroupIcon) ||
            !(typeTarget & kSubdirectoryBit)) {
            continue;
        }
        auto& list = type == kResourceIcon ? out.icons : out.groups;
        for (const auto& [name, nameTarget] : walker.entries(typeTarget & ~kSubdirectoryBit)) {
            PeResource res;
            res.id = (name & kNameBit) ? 0 : name;
            res.data = walker.firstData(nameTarget);
            if (!res.data.empty()) {
                list.push_back(res);
            }
        }
    }
    return out;
}

} // namespace harpoly
