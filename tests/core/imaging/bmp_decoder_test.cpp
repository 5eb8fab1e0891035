#include "core/errors.h"
#include "core/imaging/bmp_decoder.h"
#include "imaging/test_pictures.h"

#include <gtest/gtest.h>

namespace harpoly {
namespace {

using preview_testing::BmpSpec;
using preview_testing::makeBmp;

// Each picture's expected colour at (x, y), 0xRRGGBB.
std::uint32_t checker(int x, int y) {
    return (x + y) % 2 ? 0x102030 : 0xF0E0D0;
}

TEST(BmpDecoder, ReadsEveryBitCountBothRowOrders) {
    const std::vector<std::uint32_t> pal2 = {0xF0E0D0, 0x102030};
    std::vector<std::uint32_t> pal16(16, 0);
    pal16[3] = 0xF0E0D0;
    pal16[12] = 0x102030;
    std::vector<std::uint32_t> pal256(256, 0);
    pal256[7] = 0xF0E0D0;
    pal256[200] = 0x102030;
    struct Case {
        const char* name;
        int bitCount;
        std::vector<std::uint32_t> palette;
        std::uint32_t (*pixel)(int, int);
        bool masks565 = false;
        int tolerance = 0;
    };
    const Case cases[] = {
        {"1 bit", 1, pal2, [](int x, int y) -> std::uint32_t { return (x + y) % 2; }},
        {"4 bit", 4, pal16, [](int x, int y) -> std::uint32_t { return (x + y) % 2 ? 12 : 3; }},
        {"8 bit", 8, pal256, [](int x, int y) -> std::uint32_t { return (x + y) % 2 ? 200 : 7; }},
        {"24 bit", 24, {}, checker},
        {"32 bit", 32, {}, [](int x, int y) -> std::uint32_t { return checker(x, y); }},
        {"16 bit 555",
         16,
         {},
         [](int x, int y) -> std::uint32_t {
             const std::uint32_t c = checker(x, y);
             return (c >> 19 & 0x1F) << 10 | (c >> 11 & 0x1F) << 5 | (c >> 3 & 0x1F);
         },
         false,
         8},
        {"16 bit 565",
         16,
         {},
         [](int x, int y) -> std::uint32_t {
             const std::uint32_t c = checker(x, y);
             return (c >> 19 & 0x1F) << 11 | (c >> 10 & 0x3F) << 5 | (c >> 3 & 0x1F);
         },
         true,
         8},
    };
    for (const Case& c : cases) {
        for (const bool topDown : {false, true}) {
            BmpSpec layout;
            layout.width = 13; // odd widths exercise the row padding
            layout.height = 5;
            layout.bitCount = c.bitCount;
            layout.palette = c.palette;
            layout.topDown = topDown;
            layout.masks565 = c.masks565;
            const auto data = makeBmp(layout, c.pixel);
            const DecodedPicture pic = decodeBmpMemory(data.data(), data.size());
            ASSERT_EQ(pic.width, 13) << c.name;
            ASSERT_EQ(pic.height, 5) << c.name;
            for (int y = 0; y < 5; ++y) {
                for (int x = 0; x < 13; ++x) {
                    const std::uint32_t got = pic.image.at(x, y);
                    const std::uint32_t want = checker(x, y);
                    bool ok = (got >> 24) == 0xFF;
                    for (int shift : {16, 8, 0}) {
                        ok = ok && std::abs(static_cast<int>(got >> shift & 0xFF) -
                                            static_cast<int>(want >> shift & 0xFF)) <= c.tolerance;
                    }
                    ASSERT_TRUE(ok) << c.name << (topDown ? " top-down" : "") << " at " << x << ","
                                    << y << std::hex << " got " << got;
                }
            }
        }
    }
}

std::vector<unsigned char> rleBmp(int bitCount, std::vector<unsigned char> data) {
    BmpSpec layout;
    layout.width = 6;
    layout.height = 2;
    layout.bitCount = bitCount;
    layout.palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
    if (bitCount == 8) {
        layout.palette.resize(256, 0);
    } else {
        layout.palette.resize(16, 0);
    }
    auto v = makeBmp(layout, [](int, int) -> std::uint32_t { return 0; });
    const std::size_t offset = v[10] | v[11] << 8;
    v.resize(offset);
    v[30] = static_cast<unsigned char>(bitCount == 8 ? 1 : 2); // BI_RLE8 / BI_RLE4
    v.insert(v.end(), data.begin(), data.end());
    return v;
}

TEST(BmpDecoder, ReadsRunLengthEncodedBitmaps) {
    // RLE8: bottom row "1 1 1 2 2 3" (a run, then an absolute run of 3), then
    // end of line; top row: delta of 2, run of 1, end of bitmap.
    const auto rle8 = rleBmp(8, {3, 1, 0, 3, 2, 2, 3, 0, 0, 0, 0, 2, 2, 0, 1, 3, 0, 1});
    const DecodedPicture a = decodeBmpMemory(rle8.data(), rle8.size());
    const std::uint32_t R = 0xFFFF0000, G = 0xFF00FF00, B = 0xFF0000FF, K = 0xFF000000;
    const std::uint32_t bottom[] = {R, R, R, G, G, B};
    for (int x = 0; x < 6; ++x) {
        EXPECT_EQ(a.image.at(x, 1), bottom[x]) << x;
    }
    const std::uint32_t top[] = {K, K, B, K, K, K};
    for (int x = 0; x < 6; ++x) {
        EXPECT_EQ(a.image.at(x, 0), top[x]) << x;
    }
    // RLE4: a run of 5 alternating 1 and 2, then an absolute run of 3 pixels
    // (3, 0, 0) of which only the first fits the row.
    const auto rle4 = rleBmp(4, {5, 0x12, 0, 3, 0x30, 0x00, 0, 1});
    const DecodedPicture b = decodeBmpMemory(rle4.data(), rle4.size());
    const std::uint32_t row[] = {R, G, R, G, R, B};
    for (int x = 0; x < 6; ++x) {
        EXPECT_EQ(b.image.at(x, 1), row[x]) << x;
    }
}

void patch32(std::vector<unsigned char>& v, std::size_t at, std::uint32_t value) {
    for (int k = 0; k < 4; ++k) {
        v[at + k] = static_cast<unsigned char>(value >> (8 * k));
    }
}

TEST(BmpDecoder, BadOrHugeSizesAreInvalidGraphicsBeforeAnyAllocation) {
    BmpSpec layout;
    const auto good = makeBmp(layout, checker);
    struct Case {
        const char* name;
        std::size_t at; // offset of a 32-bit field, or 0 for none
        std::uint32_t value;
        std::size_t cutTo = 0;
    };
    const Case cases[] = {
        {"huge width", 18, 100000},
        {"huge height", 22, 0x7FFFFFFF},
        {"negative width", 18, static_cast<std::uint32_t>(-4)},
        {"zero width", 18, 0},
        {"smallest height", 22, 0x80000000u},
        {"width past the data", 18, 5000},
        {"unknown header size", 14, 77},
        {"unknown compression", 30, 4},
        {"pixel data past the end", 10, 100000},
        {"cut short", 0, 0, 60},
        {"header only", 0, 0, 20},
        {"not a bitmap", 0, 0, 1},
    };
    for (const Case& c : cases) {
        std::vector<unsigned char> v = good;
        if (c.at) {
            patch32(v, c.at, c.value);
        }
        if (c.cutTo) {
            v.resize(c.cutTo);
        }
        if (std::string(c.name) == "not a bitmap") {
            v[0] = 'X';
        }
        try {
            decodeBmpMemory(v.data(), v.size());
            ADD_FAILURE() << c.name << " decoded";
        } catch (const Error& e) {
            EXPECT_EQ(e.kind(), kind::InvalidGraphic) << c.name;
        }
    }
    // Bit count 7 and a palette picture without palette entries.
    std::vector<unsigned char> v = good;
    v[28] = 7;
    EXPECT_THROW(decodeBmpMemory(v.data(), v.size()), Error);
    BmpSpec noPalette;
    noPalette.bitCount = 8;
    const auto bare = makeBmp(noPalette, [](int, int) -> std::uint32_t { return 0; });
    EXPECT_THROW(decodeBmpMemory(bare.data(), bare.size()), Error);
}

} // namespace
} // namespace harpoly
