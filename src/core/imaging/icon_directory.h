#pragma once

#include "core/imaging/icon_choice.h"

#include <cstdint>
#include <span>
#include <vector>

namespace harpoly {

// One image listed in an icon file's directory.
struct IconDirectoryEntry {
    IconCandidate size;
    std::span<const std::uint8_t> data; // empty when the entry points outside the file
};

// Whether the bytes begin like an icon file: reserved 0, type 1, at least one image.
bool looksLikeIconFile(std::span<const std::uint8_t> file);

// The directory of an icon file (.ico). The count is limited by the bytes
// that are there; throws Error(kind::InvalidGraphic) when the header is not
// an icon file's.
std::vector<IconDirectoryEntry> readIconDirectory(std::span<const std::uint8_t> file);

// Bits per pixel told by a directory entry's colour-count and bit-count fields;
// the image's own header when both are 0.
int directoryDepth(int colorCount, int planes, int bitCount, std::span<const std::uint8_t> image);

} // namespace harpoly
