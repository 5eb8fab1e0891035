#pragma once

#include "core/imaging/icon_image.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace harpoly {

class ByteSource;
class FileSource;
class ProgramIconResources;

// The icons one file carries, the way the system's icon extraction sees
// them: every icon group of a Windows program or library (PE32, PE32+ or
// 16-bit NE), or the one icon of an icon file. Any other file carries none.
// Only the tables are read to count the icons; an icon's images are read
// when it is asked for, so a huge file costs what its icons need.
class IconSource {
public:
    // Opens the file at `path`. A file that cannot be read, or that is
    // neither a program, a library nor an icon file, carries no icon.
    static IconSource fromFile(const std::string& path);
    static IconSource fromBytes(std::vector<std::uint8_t> bytes);

    IconSource(IconSource&&) noexcept;
    IconSource& operator=(IconSource&&) noexcept;
    ~IconSource();

    int count() const;

    // Icon `index` (0 to count() - 1) at `size` by `size` pixels: the image of
    // its group chosen for that size, scaled when none has it. Throws
    // Error(kind::InvalidGraphic) when the icon's data is damaged or missing.
    IconImage icon(int index, int size = 32) const;

private:
    enum class Kind { None, IconFile, Program };

    IconSource();
    void classify();
    void allowReading(std::uint64_t bytes) const;

    std::vector<std::uint8_t> bytes_; // what a source made from bytes reads
    std::unique_ptr<ByteSource> source_;
    FileSource* file_ = nullptr; // source_ when it is a file
    Kind kind_ = Kind::None;
    std::unique_ptr<ProgramIconResources> program_;
};

} // namespace harpoly
