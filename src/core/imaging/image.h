#pragma once

#include <cstdint>
#include <vector>

namespace harpoly {

// A decoded picture: rows top to bottom, each pixel 0xAARRGGBB (not
// premultiplied), the layout of QImage::Format_ARGB32 on little-endian machines.
struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    RgbaImage() = default;
    RgbaImage(int w, int h, std::uint32_t fill = 0xFFFFFFFFu)
        : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, fill) {}
    std::uint32_t& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    bool empty() const { return width <= 0 || height <= 0; }
};

} // namespace harpoly
