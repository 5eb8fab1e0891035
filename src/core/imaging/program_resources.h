#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace harpoly {

class ByteSource;

inline constexpr std::uint16_t kResourceIcon = 3;       // RT_ICON
inline constexpr std::uint16_t kResourceGroupIcon = 14; // RT_GROUP_ICON

// Where the data of one resource lies in its file.
struct ResourceSpan {
    std::uint64_t offset = 0;
    std::uint32_t size = 0;
    bool operator==(const ResourceSpan&) const = default;
};

// The icon resources of a Windows program or library: its icon groups, and
// the icon images that the groups name by id. Only the tables are read, never
// the data; every offset and size is checked against the file.
class ProgramIconResources {
public:
    virtual ~ProgramIconResources() = default;

    // The icon groups in the order of the resource table, each holding an
    // icon directory (reserved 0, type 1, at least one image).
    const std::vector<ResourceSpan>& groups() const { return groups_; }

    // The icon image resource with `id`, found through an index made once;
    // nothing when there is none or its data lies outside the file.
    virtual std::optional<ResourceSpan> image(std::uint16_t id) = 0;

protected:
    std::vector<ResourceSpan> groups_;
};

// A 32-bit program (PE32 or PE32+); null when `file` is none or has no
// resource section. The source must outlive the result.
std::unique_ptr<ProgramIconResources> readPeIconResources(ByteSource& file);

// A 16-bit program (NE); null when `file` is none.
std::unique_ptr<ProgramIconResources> readNeIconResources(ByteSource& file);

// Whether a group's first bytes are an icon directory's.
bool isIconGroupHeader(ByteSource& file, const ResourceSpan& group);

} // namespace harpoly
