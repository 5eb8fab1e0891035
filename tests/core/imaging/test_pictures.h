#pragma once

// Small pictures written by the tests themselves: JPEGs through libjpeg's
// compressor, bitmaps byte by byte.

#include <cstdint>
#include <string>
#include <vector>

namespace harpoly::preview_testing {

enum class JpegColour { Rgb, Grey, AdobeCmyk };

struct JpegSpec {
    int width = 16;
    int height = 16;
    JpegColour colour = JpegColour::Rgb;
    bool progressive = false;
    // Solid fill: 0xRRGGBB (for CMYK the colour is turned into inverted CMYK).
    std::uint32_t fill = 0xC81E28;
};

std::vector<unsigned char> makeJpeg(const JpegSpec& layout);

void writeFile(const std::string& path, const std::vector<unsigned char>& bytes);
void writeFile(const std::string& path, const std::string& text);

// A bitmap of the given bit count (1, 4, 8: palette of `palette`; 16: 5-5-5
// unless `masks565`; 24; 32) whose pixel (x, y) has palette index or colour
// `pixel(x, y)`. Rows are written bottom-up unless `topDown`.
struct BmpSpec {
    int width = 4;
    int height = 3;
    int bitCount = 24;
    bool topDown = false;
    bool masks565 = false;              // BI_BITFIELDS 5-6-5 (16 bit only)
    std::vector<std::uint32_t> palette; // 0xRRGGBB
};
std::vector<unsigned char> makeBmp(const BmpSpec& layout, std::uint32_t (*pixel)(int x, int y));

} // namespace harpoly::preview_testing
