#pragma once

#include "core/imaging/icon_choice.h"
#include "core/imaging/icon_image.h"
#include "core/imaging/program_resources.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace harpoly {

class ByteReader;
class ByteSource;

// What the tables of an icon file or a program may make us read: far above
// any real file's directories, far below what a hostile one could ask for.
inline constexpr std::uint64_t kIconTableReadAllowance = 32u << 20;

// One image named by an icon directory: an icon file's, or an icon group's
// in a program.
struct DirectoryImage {
    int width = 0; // pixels; a directory byte of 0 stands for 256
    int height = 0;
    int colorCount = 0;
    int planes = 0;
    int bitCount = 0;
    std::uint16_t id = 0;             // a group's image: the id of its resource
    std::optional<ResourceSpan> data; // an icon file's image; nothing when it is not in the file
};

// Where the data of image i of a directory lies; nothing when it is missing.
using DirectoryImageData = std::function<std::optional<ResourceSpan>(std::size_t)>;

// The sizes and depth fields of the directory entry at `at`, which icon files
// and icon groups share (width, height, colour count, reserved, planes, bit
// count).
DirectoryImage directoryEntry(ByteReader& r, std::size_t at);

// Whether the bytes begin like an icon file: reserved 0, type 1, at least one image.
bool looksLikeIconFile(std::span<const std::uint8_t> head);

// The directory of an icon file (.ico), read from its header and entry table
// alone. The count is limited by the bytes that are there; throws
// Error(kind::InvalidGraphic) when the header is not an icon file's.
std::vector<DirectoryImage> readIconDirectory(ByteSource& file);

// Bits per pixel told by a directory entry's colour-count and bit-count fields;
// the image's own header (its first bytes, `imageHead`) when both are 0.
int directoryDepth(int colorCount, int planes, int bitCount,
                   std::span<const std::uint8_t> imageHead);

// Index of the image the system takes for an icon of `size` by `size`
// (chooseIconImage), -1 when there is none. Only images of the chosen size
// whose entry tells no depth are looked up, to read their header.
int chooseDirectoryImage(ByteSource& file, const std::vector<DirectoryImage>& images, int size,
                         const DirectoryImageData& dataOf);

// Reads and decodes one icon image. Throws Error(kind::InvalidGraphic) when
// it is missing, larger than any icon image can be, or damaged.
IconImage readIconImage(ByteSource& file, const std::optional<ResourceSpan>& data);

} // namespace harpoly
