// The resource table of a 16-bit Windows program (New Executable): a shift
// count, then per resource type a type id, a count and that many 12-byte
// entries (offset and length in units of 1 << shift, flags, id, two words for
// the loader), ended by a type id of 0.
#include "core/imaging/byte_reader.h"
#include "core/imaging/program_resources.h"
#include "core/platform/byte_source.h"

#include <algorithm>

namespace harpoly {

namespace {

constexpr std::uint16_t kMz = 0x5A4D;
constexpr std::uint16_t kNe = 0x454E; // "NE"
constexpr std::uint16_t kIntegerId = 0x8000;
constexpr std::size_t kNeHeader = 64;
constexpr std::size_t kTypeHeader = 8;
constexpr std::size_t kNameEntry = 12;
// The table's offsets are 16-bit and relative to the header.
constexpr std::size_t kMaxTable = 0x10000;

class NeIconResources final : public ProgramIconResources {
public:
    void addGroup(const ResourceSpan& span) { groups_.push_back(span); }
    void addImage(std::uint16_t id, const ResourceSpan& span) { index_.emplace_back(id, span); }
    void finish() {
        std::stable_sort(index_.begin(), index_.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
    }

    std::optional<ResourceSpan> image(std::uint16_t id) override {
        const auto it = std::lower_bound(index_.begin(), index_.end(), id,
                                         [](const std::pair<std::uint16_t, ResourceSpan>& e,
                                            std::uint16_t v) { return e.first < v; });
        if (it == index_.end() || it->first != id) {
            return std::nullopt;
        }
        return it->second;
    }

private:
    std::vector<std::pair<std::uint16_t, ResourceSpan>> index_;
};

} // namespace

std::unique_ptr<ProgramIconResources> readNeIconResources(ByteSource& file) {
    const std::vector<std::uint8_t> dosBytes = file.bytes(0, 64);
    ByteReader dos(dosBytes);
    if (dos.u16(0) != kMz || !dos.ok()) {
        return nullptr;
    }
    const std::uint64_t ne = dos.u32(0x3C);
    const std::vector<std::uint8_t> headerBytes = file.bytes(ne, kNeHeader);
    ByteReader header(headerBytes);
    if (header.u16(0) != kNe || !header.ok()) {
        return nullptr;
    }
    const std::uint16_t tableAt = header.u16(0x24);
    const std::uint16_t residentNamesAt = header.u16(0x26);
    auto out = std::make_unique<NeIconResources>();
    // The resident-name table follows the resource table; a program without
    // resources has both at the same place.
    const std::size_t tableLength =
        residentNamesAt > tableAt ? residentNamesAt - tableAt : kMaxTable - tableAt;
    if (tableAt == 0 || !file.has(ne + tableAt, 2)) {
        return out;
    }
    const std::uint64_t start = ne + tableAt;
    const std::vector<std::uint8_t> table = file.bytes(
        start, static_cast<std::size_t>(std::min<std::uint64_t>(tableLength, file.size() - start)));
    ByteReader r(table);
    const unsigned shift = r.u16(0);
    if (!r.ok() || shift >= 32) {
        return out;
    }
    std::size_t at = 2;
    while (r.has(at, kTypeHeader)) {
        const std::uint16_t type = r.u16(at);
        const std::size_t count = r.u16(at + 2);
        at += kTypeHeader;
        if (type == 0) {
            break;
        }
        for (std::size_t i = 0; i < count && r.has(at, kNameEntry); ++i, at += kNameEntry) {
            const std::uint64_t offset = std::uint64_t{r.u16(at)} << shift;
            const std::uint64_t length = std::uint64_t{r.u16(at + 2)} << shift;
            const std::uint16_t id = r.u16(at + 6);
            if (offset >= file.size() || length == 0) {
                continue;
            }
            // The length is rounded up to the alignment; the last resource may
            // end before it does.
            const ResourceSpan span{offset, static_cast<std::uint32_t>(std::min<std::uint64_t>(
                                                {length, file.size() - offset, UINT32_MAX}))};
            if (type == (kIntegerId | kResourceGroupIcon)) {
                if (isIconGroupHeader(file, span)) {
                    out->addGroup(span);
                }
            } else if (type == (kIntegerId | kResourceIcon) && (id & kIntegerId)) {
                out->addImage(static_cast<std::uint16_t>(id & ~kIntegerId), span);
            }
        }
    }
    out->finish();
    return out;
}

} // namespace harpoly
