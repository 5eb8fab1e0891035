#pragma once

// Device-independent bitmaps inside metafile records: the bitmaps that
// bitmap records stretch onto the picture and the patterns of pattern
// brushes.

#include "core/imaging/image.h"
#include "core/imaging/metafile_drawing.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace harpoly::metafile {

class Canvas;

struct DibSource {
    std::span<const std::uint8_t> info; // BITMAPINFO: header and colour table
    std::span<const std::uint8_t> bits;
    // DIB_PAL_COLORS: the colour table holds 16-bit indexes into `palette`.
    bool paletteIndexes = false;
    const std::vector<Colour>* palette = nullptr;
    // Keep the alpha of 32-bit pixels (premultiplied, as alpha blending
    // takes them); otherwise every pixel is opaque.
    bool alpha = false;
    // Rows actually present when a record carries a band of the bitmap
    // (SetDIBitsToDevice); 0 for all.
    int rows = 0;
};

// Decodes a DIB, its pixels first reserved against the canvas's budget.
// Nothing for data that is no valid bitmap or over the budget.
std::optional<RgbaImage> decodeDib(const DibSource& source, Canvas& canvas);

// The size of the header and colour table at the start of a packed DIB (as
// WMF records hold them, the bits following directly); nothing when the
// header is unknown.
std::optional<std::size_t> packedDibInfoSize(std::span<const std::uint8_t> dib);

// Whether the DIB's rows are stored top-down (a negative height), and its
// height; for the source rectangles of records that count rows from the
// bottom.
struct DibShape {
    int width = 0;
    int height = 0;
    bool topDown = false;
};
std::optional<DibShape> dibShape(std::span<const std::uint8_t> info);

} // namespace harpoly::metafile
