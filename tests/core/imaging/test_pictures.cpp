#include "test_pictures.h"

#include "jpeg_rows.h"

#include <fstream>

namespace harpoly::preview_testing {

std::vector<unsigned char> makeJpeg(const JpegSpec& layout) {
    int components = 3;
    switch (layout.colour) {
    case JpegColour::Rgb:
        break;
    case JpegColour::Grey:
        components = 1;
        break;
    case JpegColour::AdobeCmyk:
        components = 4;
        break;
    }
    const unsigned r = layout.fill >> 16 & 0xFF, g = layout.fill >> 8 & 0xFF,
                   b = layout.fill & 0xFF;
    std::vector<unsigned char> row(static_cast<std::size_t>(layout.width) * components);
    for (int x = 0; x < layout.width; ++x) {
        unsigned char* p = row.data() + static_cast<std::size_t>(x) * components;
        if (layout.colour == JpegColour::Rgb) {
            p[0] = static_cast<unsigned char>(r);
            p[1] = static_cast<unsigned char>(g);
            p[2] = static_cast<unsigned char>(b);
        } else if (layout.colour == JpegColour::Grey) {
            p[0] = static_cast<unsigned char>(r);
        } else {
            // Pure inks, no black; stored inverted as Adobe applications do.
            p[0] = static_cast<unsigned char>(r);
            p[1] = static_cast<unsigned char>(g);
            p[2] = static_cast<unsigned char>(b);
            p[3] = 255;
        }
    }
    const std::string bytes = testing::encodeRepeatedRow(
        {layout.width, layout.height, components, 95, layout.progressive}, row);
    return {bytes.begin(), bytes.end()};
}

void writeFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream f(path, std::ios::binary);
    f << text;
}

namespace {
void put16(std::vector<unsigned char>& v, std::uint32_t x) {
    v.push_back(static_cast<unsigned char>(x));
    v.push_back(static_cast<unsigned char>(x >> 8));
}
void put32(std::vector<unsigned char>& v, std::uint32_t x) {
    put16(v, x & 0xFFFF);
    put16(v, x >> 16);
}
} // namespace

std::vector<unsigned char> makeBmp(const BmpSpec& layout, std::uint32_t (*pixel)(int x, int y)) {
    const bool bitfields = layout.masks565;
    const std::size_t paletteBytes = layout.palette.size() * 4;
    const std::size_t header = 14 + 40 + (bitfields ? 12 : 0) + paletteBytes;
    const std::size_t rowBytes =
        ((static_cast<std::size_t>(layout.width) * layout.bitCount + 31) / 32) * 4;
    std::vector<unsigned char> v;
    v.push_back('B');
    v.push_back('M');
    put32(v, static_cast<std::uint32_t>(header + rowBytes * layout.height));
    put32(v, 0);
    put32(v, static_cast<std::uint32_t>(header));
    put32(v, 40);
    put32(v, static_cast<std::uint32_t>(layout.width));
    put32(v, static_cast<std::uint32_t>(layout.topDown ? -layout.height : layout.height));
    put16(v, 1);
    put16(v, static_cast<std::uint32_t>(layout.bitCount));
    put32(v, bitfields ? 3 : 0);
    put32(v, static_cast<std::uint32_t>(rowBytes * layout.height));
    put32(v, 2835);
    put32(v, 2835);
    put32(v, static_cast<std::uint32_t>(layout.palette.size()));
    put32(v, 0);
    if (bitfields) {
        put32(v, 0xF800);
        put32(v, 0x07E0);
        put32(v, 0x001F);
    }
    for (const std::uint32_t c : layout.palette) {
        put32(v, c & 0xFFFFFF);
    }
    for (int row = 0; row < layout.height; ++row) {
        const int y = layout.topDown ? row : layout.height - 1 - row;
        std::vector<unsigned char> bytes(rowBytes, 0);
        for (int x = 0; x < layout.width; ++x) {
            const std::uint32_t p = pixel(x, y);
            switch (layout.bitCount) {
            case 1:
            case 4:
            case 8: {
                const int perByte = 8 / layout.bitCount;
                const int shift = 8 - layout.bitCount * (x % perByte + 1);
                bytes[x / perByte] |= static_cast<unsigned char>(p << shift);
                break;
            }
            case 16:
                bytes[2 * x] = static_cast<unsigned char>(p);
                bytes[2 * x + 1] = static_cast<unsigned char>(p >> 8);
                break;
            case 24:
                bytes[3 * x] = static_cast<unsigned char>(p);
                bytes[3 * x + 1] = static_cast<unsigned char>(p >> 8);
                bytes[3 * x + 2] = static_cast<unsigned char>(p >> 16);
                break;
            case 32:
                for (int k = 0; k < 4; ++k) {
                    bytes[4 * x + k] = static_cast<unsigned char>(p >> (8 * k));
                }
                break;
            }
        }
        v.insert(v.end(), bytes.begin(), bytes.end());
    }
    return v;
}

} // namespace harpoly::preview_testing
