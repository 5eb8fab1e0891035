#pragma once

#include "core/imaging/image.h"

#include <cstdint>
#include <vector>

namespace harpoly {

// Shrinks a picture that arrives row by row, top to bottom, to a smaller size
// by area averaging: each pixel of the result is the mean of the part of the
// picture it covers, its edge pixels weighted by how much of them it covers,
// as a picture is reduced without aliasing. Channels are averaged apart
// (pixels 0xAARRGGBB, not premultiplied). Only the result and one row of
// sums are held, never the whole picture at its first size.
class RowShrinker {
public:
    // From width x height to toWidth x toHeight, each at least 1 and no
    // larger than the picture.
    RowShrinker(int width, int height, int toWidth, int toHeight);

    // The next row of `width` pixels. Rows past the picture's height are
    // ignored.
    void addRow(const std::uint32_t* row);
    // The result once every row is in (rows not given count as black).
    RgbaImage take();

private:
    void shrinkAcross(const std::uint32_t* row);
    void addDown(std::uint32_t weight);
    void emitRow();

    int width_, height_;
    RgbaImage out_;
    int nextRow_ = 0; // of the picture
    int outRow_ = 0;  // of the result, being summed
    // For each pixel of a result row: the first picture pixel it covers and
    // where its weights begin in weights_ (one more entry at the end).
    std::vector<int> first_;
    std::vector<int> weightAt_;
    std::vector<std::uint32_t> weights_;
    std::vector<std::uint32_t> across_; // the row shrunk across, 4 sums a pixel
    std::vector<std::uint64_t> sums_;   // the result row being summed, 4 a pixel
};

} // namespace harpoly
