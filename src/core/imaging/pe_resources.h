#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace harpoly {

inline constexpr std::uint32_t kResourceIcon = 3;       // RT_ICON
inline constexpr std::uint32_t kResourceGroupIcon = 14; // RT_GROUP_ICON

// One resource of a Windows program or library: its numeric id (0 for a
// resource named by a string) and its data.
struct PeResource {
    std::uint32_t id = 0;
    std::span<const std::uint8_t> data;
};

// The resources of two types of a PE32 or PE32+ image held in memory, in the
// order of the resource directory, first language of each; resources
// whose data lies outside the file are left out. Every offset and
// size is checked against the image; a directory that points back at itself
// is read once. A file that is not such an image, or has no resource
// section, gives empty lists.
struct PeIconResources {
    std::vector<PeResource> groups; // RT_GROUP_ICON
    std::vector<PeResource> icons;  // RT_ICON
};

PeIconResources readPeIconResources(std::span<const std::uint8_t> file);

} // namespace harpoly
