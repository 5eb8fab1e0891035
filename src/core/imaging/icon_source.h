#pragma once

#include "core/imaging/icon_image.h"
#include "core/imaging/pe_resources.h"

#include <cstdint>
#include <string>
#include <vector>

namespace harpoly {

// The icons one file carries, the way the system's icon extraction sees
// them: every icon group of a Windows program or library (PE32 or PE32+), or
// the one icon of an icon file. Any other file carries none. The file is read
// once; icons are decoded on request.
class IconSource {
public:
    // Reads the file at `path`. A file that cannot be read, or that is neither
    // a program, a library nor an icon file, carries no icon.
    static IconSource fromFile(const std::string& path);
    static IconSource fromBytes(std::vector<std::uint8_t> bytes);

    IconSource(IconSource&&) = default;
    IconSource& operator=(IconSource&&) = default;
    // The resource spans point into the bytes: no copies.
    IconSource(const IconSource&) = delete;
    IconSource& operator=(const IconSource&) = delete;

    int count() const;

    // Icon `index` (0 to count() - 1) at `size` by `size` pixels: the image of
    // its group chosen for that size, scaled when none has it. Throws
    // Error(kind::InvalidGraphic) when the icon's data is damaged or missing.
    IconImage icon(int index, int size = 32) const;

private:
    enum class Kind { None, IconFile, Program };

    IconSource() = default;
    std::span<const std::uint8_t> groupImage(std::span<const std::uint8_t> group, int size) const;

    std::vector<std::uint8_t> bytes_;
    Kind kind_ = Kind::None;
    PeIconResources resources_;
};

} // namespace harpoly
