#pragma once

// Windows metafiles: the enhanced format (EMF) and the older one (WMF), with
// or without its 22-byte placeable header. The reader plays the records the
// way the Windows graphics device interface would and writes down what they
// draw (metafile_drawing.h); a painter then draws that list at any size.

#include "core/imaging/metafile_drawing.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace harpoly {

enum class MetafileFormat { Emf, PlaceableWmf, Wmf };

// What a damaged or hostile file may cost at most. A file that reaches one of
// these limits is drawn as far as it got (Metafile::cut).
struct MetafileLimits {
    std::size_t fileBytes = 128u << 20;
    std::size_t items = 1'000'000;
    std::size_t points = 4'000'000;        // path points of shapes and clips
    std::size_t textBytes = 8u << 20;      // UTF-8 text and character advances
    std::size_t bitmapPixels = 32'000'000; // all bitmaps and pattern brushes
    int saveDepth = 256;                   // nested saves of the device context
    int objects = 65536;                   // slots of the object table
};

// The largest width or height a metafile may state, in pixels.
inline constexpr int kMaxMetafileSide = 32767;

struct Metafile {
    MetafileFormat format = MetafileFormat::Emf;
    // The picture's own size in pixels: EMF from the header's frame at the
    // resolution of the reference device the header names; a placeable WMF
    // from its box at its units per inch, shown at 96 pixels per inch; a
    // plain WMF from its window extent (or, without one, from the extent of
    // what it draws).
    int width = 0;
    int height = 0;
    metafile::Drawing drawing;
    // Reading stopped early: a record that does not fit the file, or a limit
    // reached. What came before is drawn.
    bool cut = false;
};

// Reads a metafile of either format, told apart by its first bytes. Data
// that is no metafile, or whose header states no usable size (zero, or larger
// than kMaxMetafileSide), throws Error(kind::InvalidGraphic). Damage past
// the header ends the drawing where it is found; unknown records are skipped.
Metafile readMetafile(std::span<const std::uint8_t> data, const MetafileLimits& limits = {});

// The same for a file; a file that cannot be read throws Error(kind::FOpen).
Metafile readMetafileFile(const std::string& path, const MetafileLimits& limits = {});

// Whether a lower-case extension (dot included) names a metafile: ".wmf", ".emf".
bool isMetafileExtension(std::string_view extLower);

} // namespace harpoly
