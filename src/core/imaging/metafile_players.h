#pragma once

// The record players of the two metafile formats. Each walks the records of
// a file whose header the reader has already checked and drives the canvas.

#include "core/imaging/metafile_canvas.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace harpoly::metafile {

// Plays the records of an EMF from its header record on. False when a record
// does not fit the file (the picture is then cut there).
bool playEmf(std::span<const std::uint8_t> data, Canvas& canvas, int objectSlots);

// Plays the records of a WMF; `data` starts at the WMF header (after any
// placeable header). False when a record does not fit the file.
bool playWmf(std::span<const std::uint8_t> data, Canvas& canvas, int objectSlots);

// The first SetWindowExt of a WMF, if it has one.
std::optional<DPoint> wmfWindowExtent(std::span<const std::uint8_t> data);

} // namespace harpoly::metafile
