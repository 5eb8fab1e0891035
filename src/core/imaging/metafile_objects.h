#pragma once

// The object table of a metafile (pens, brushes, fonts, palettes, regions
// that records create, select and delete by index) and the stock objects
// every device context has.

#include "core/imaging/metafile_canvas.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace harpoly::metafile {

class ObjectTable {
public:
    explicit ObjectTable(int slots) : limit_(slots > 0 ? slots : 0) {}

    // The object in slot `index`, or nullptr when the slot is empty or out of range.
    const GdiObject* find(std::uint32_t index) const;
    // Puts `object` into slot `index` (EMF: the record names it). Out of range is ignored.
    void put(std::uint32_t index, GdiObject object);
    // Puts `object` into the lowest free slot (WMF); ignored when the table is full.
    void putFirstFree(GdiObject object);
    void erase(std::uint32_t index);

private:
    std::vector<GdiObject> slots_;
    std::size_t limit_;
    std::size_t lowestFree_ = 0;
};

// Stock object `n` (the index without its top bit): WHITE_BRUSH 0 to
// DC_PEN 19. Nothing for numbers that name none.
std::optional<GdiObject> stockObject(std::uint32_t n);

// A pen from a pen style word (PS_* with end cap, join and type bits).
LogPen penFromStyle(std::uint32_t style, double width, Colour colour);
// A brush from BS_* and HS_*.
Brush brushFromStyle(std::uint32_t style, Colour colour, std::uint32_t hatch);

// The raster operation of a ternary raster code (its high byte) that has a
// source: SRCCOPY, SRCPAINT, SRCAND, SRCINVERT, NOTSRCCOPY, SRCERASE,
// NOTSRCERASE, MERGEPAINT; the rarer mixes are drawn as a copy.
RasterOp rasterOpWithSource(std::uint32_t rop);

// Selects an object into the device context (pens, brushes, fonts,
// palettes); regions and empty slots are left to the caller.
void selectObject(Canvas& canvas, const GdiObject& object);

} // namespace harpoly::metafile
