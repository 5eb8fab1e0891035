#include "core/imaging/row_shrinker.h"

#include <algorithm>
#include <cstddef>

namespace harpoly {

// Positions are counted in a common unit: picture pixel i spans
// [i * toSize, (i + 1) * toSize) and result pixel j spans
// [j * size, (j + 1) * size), so every overlap is a whole number and each
// result pixel's weights add up to `size` exactly.

RowShrinker::RowShrinker(int width, int height, int toWidth, int toHeight)
    : width_(width), height_(height), out_(toWidth, toHeight, 0xFF000000u),
      across_(static_cast<std::size_t>(toWidth) * 4), sums_(static_cast<std::size_t>(toWidth) * 4) {
    const auto w = static_cast<std::int64_t>(width);
    const auto tw = static_cast<std::int64_t>(toWidth);
    first_.reserve(static_cast<std::size_t>(toWidth));
    weightAt_.reserve(static_cast<std::size_t>(toWidth) + 1);
    for (std::int64_t j = 0; j < tw; ++j) {
        const std::int64_t lo = j * w;
        const std::int64_t hi = lo + w;
        const std::int64_t firstPixel = lo / tw;
        first_.push_back(static_cast<int>(firstPixel));
        weightAt_.push_back(static_cast<int>(weights_.size()));
        for (std::int64_t i = firstPixel; i * tw < hi; ++i) {
            const std::int64_t overlap = std::min(hi, (i + 1) * tw) - std::max(lo, i * tw);
            weights_.push_back(static_cast<std::uint32_t>(overlap));
        }
    }
    weightAt_.push_back(static_cast<int>(weights_.size()));
}

void RowShrinker::shrinkAcross(const std::uint32_t* row) {
    const std::size_t count = first_.size();
    for (std::size_t j = 0; j < count; ++j) {
        const std::uint32_t* pixel = row + first_[j];
        std::uint32_t a = 0, r = 0, g = 0, b = 0;
        for (int k = weightAt_[j]; k < weightAt_[j + 1]; ++k, ++pixel) {
            const std::uint32_t weight = weights_[static_cast<std::size_t>(k)];
            const std::uint32_t p = *pixel;
            a += weight * (p >> 24);
            r += weight * (p >> 16 & 0xFF);
            g += weight * (p >> 8 & 0xFF);
            b += weight * (p & 0xFF);
        }
        std::uint32_t* sum = &across_[j * 4];
        sum[0] = a;
        sum[1] = r;
        sum[2] = g;
        sum[3] = b;
    }
}

void RowShrinker::addDown(std::uint32_t weight) {
    for (std::size_t k = 0; k < sums_.size(); ++k) {
        sums_[k] += static_cast<std::uint64_t>(weight) * across_[k];
    }
}

void RowShrinker::emitRow() {
    if (outRow_ >= out_.height) {
        return;
    }
    // Every result pixel covers width x height units of the common area. The
    // sums stay far below 2^53, so a double holds them exactly.
    const double perArea = 1.0 / (static_cast<double>(width_) * height_);
    std::uint32_t* out = &out_.at(0, outRow_);
    for (int j = 0; j < out_.width; ++j) {
        const std::uint64_t* sum = &sums_[static_cast<std::size_t>(j) * 4];
        const auto channel = [&](int c) {
            const double mean = static_cast<double>(sum[c]) * perArea + 0.5;
            return std::min<std::uint32_t>(255, static_cast<std::uint32_t>(mean));
        };
        out[j] = channel(0) << 24 | channel(1) << 16 | channel(2) << 8 | channel(3);
    }
    std::fill(sums_.begin(), sums_.end(), 0);
    ++outRow_;
}

void RowShrinker::addRow(const std::uint32_t* row) {
    if (nextRow_ >= height_) {
        return;
    }
    shrinkAcross(row);
    const auto h = static_cast<std::int64_t>(height_);
    const auto th = static_cast<std::int64_t>(out_.height);
    const std::int64_t lo = nextRow_ * th;
    const std::int64_t hi = lo + th;
    // A picture row lies in at most two result rows (the result is smaller).
    const std::int64_t boundary = (outRow_ + 1) * h;
    if (hi <= boundary) {
        addDown(static_cast<std::uint32_t>(hi - lo));
        if (hi == boundary) {
            emitRow();
        }
    } else {
        addDown(static_cast<std::uint32_t>(boundary - lo));
        emitRow();
        addDown(static_cast<std::uint32_t>(hi - boundary));
    }
    ++nextRow_;
}

RgbaImage RowShrinker::take() {
    while (outRow_ < out_.height) {
        emitRow();
    }
    return std::move(out_);
}

} // namespace harpoly
