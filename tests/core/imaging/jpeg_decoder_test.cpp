#include "core/app/error_text.h"
#include "core/errors.h"
#include "core/imaging/jpeg_decoder.h"
#include "imaging/test_pictures.h"
#include "platform/scratch_folder.h"

#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>

namespace harpoly {
namespace {

using preview_testing::JpegColour;
using preview_testing::JpegSpec;
using preview_testing::makeJpeg;

std::string kindOf(const std::vector<unsigned char>& data, int needW = 0, int needH = 0) {
    try {
        decodeJpegMemory(data.data(), data.size(), needW, needH);
    } catch (const Error& e) {
        return e.kind();
    }
    return "decoded";
}

bool near(std::uint32_t argb, std::uint32_t rgb, int tolerance) {
    for (int shift : {16, 8, 0}) {
        const int a = static_cast<int>(argb >> shift & 0xFF);
        const int b = static_cast<int>(rgb >> shift & 0xFF);
        if (std::abs(a - b) > tolerance) {
            return false;
        }
    }
    return (argb >> 24) == 0xFF;
}

TEST(JpegDecoder, ScaleIsTheSmallestThatStillFillsTheDrawnSize) {
    struct Case {
        int w, h, boxW, boxH, denom;
    };
    const Case cases[] = {
        {6000, 4000, 1000, 700, 4}, // drawn 1000x666: 1/4 gives 1500x1000, 1/8 750x500
        {6000, 4000, 0, 0, 1},      // natural size
        {800, 600, 1000, 700, 1},   // fits: drawn at its own size
        {2000, 1500, 1000, 700, 2}, // drawn 933x700: 1/2 gives 1000x750
        {1600, 1200, 200, 150, 8},  // exactly 1/8
        {1601, 1201, 200, 150, 8},  // 1/8 rounds up to 201x151
        {1608, 1200, 200, 150, 8},  // drawn 200x149
        {1700, 1200, 200, 150, 8},  {1599, 1200, 200, 150, 8}, // 1/8 rounds up to 200x150
        {1590, 1200, 200, 150, 4},                             // 1/8 would be 199 wide, one short
        {4000, 6000, 700, 1000, 4},                            // portrait
    };
    for (const Case& c : cases) {
        EXPECT_EQ(jpegScaleDenominator(c.w, c.h, c.boxW, c.boxH), c.denom)
            << c.w << "x" << c.h << " into " << c.boxW << "x" << c.boxH;
    }
}

TEST(JpegDecoder, DecodesAtTheChosenScaleAndReportsTheOwnSize) {
    JpegSpec layout;
    layout.width = 1600;
    layout.height = 1200;
    const auto data = makeJpeg(layout);
    const DecodedPicture small = decodeJpegMemory(data.data(), data.size(), 200, 150);
    EXPECT_EQ(small.width, 1600);
    EXPECT_EQ(small.height, 1200);
    EXPECT_EQ(small.image.width, 200);
    EXPECT_EQ(small.image.height, 150);
    EXPECT_TRUE(near(small.image.at(100, 75), layout.fill, 8));

    const DecodedPicture full = decodeJpegMemory(data.data(), data.size());
    EXPECT_EQ(full.image.width, 1600);
    EXPECT_EQ(full.image.height, 1200);
    EXPECT_EQ(full.image.pixels.size(), 1600u * 1200u);
}

TEST(JpegDecoder, DecodesGreyCmykAndProgressiveFiles) {
    struct Case {
        const char* name;
        JpegSpec layout;
        std::uint32_t expected;
    };
    JpegSpec grey;
    grey.colour = JpegColour::Grey;
    grey.fill = 0x808080;
    JpegSpec progressive;
    progressive.progressive = true;
    progressive.width = 300;
    progressive.height = 200;
    // Inverted CMYK with an Adobe marker: stored 255 is no ink. Stored cyan 0
    // (full cyan), magenta 255 and yellow 255 (none) on stored black 255 (none).
    JpegSpec cmyk;
    cmyk.colour = JpegColour::AdobeCmyk;
    cmyk.fill = 0x00FFFF;
    JpegSpec greyProgressive = grey;
    greyProgressive.progressive = true;
    const Case cases[] = {
        {"grey", grey, 0x808080},
        {"progressive", progressive, progressive.fill},
        {"cmyk", cmyk, 0x00FFFF},
        {"grey progressive", greyProgressive, 0x808080},
    };
    for (const Case& c : cases) {
        const auto data = makeJpeg(c.layout);
        const DecodedPicture pic = decodeJpegMemory(data.data(), data.size());
        EXPECT_EQ(pic.width, c.layout.width) << c.name;
        EXPECT_TRUE(near(pic.image.at(pic.image.width / 2, pic.image.height / 2), c.expected, 8))
            << c.name << std::hex << " got " << pic.image.at(0, 0);
    }
}

TEST(JpegDecoder, DamagedDataIsAJpegError) {
    JpegSpec layout;
    layout.width = 64;
    layout.height = 64;
    const auto good = makeJpeg(layout);
    std::vector<unsigned char> headerOnly(good.begin(), good.begin() + 100);
    std::vector<unsigned char> half(good.begin(), good.begin() + good.size() / 2);
    std::vector<unsigned char> noSoi = good;
    noSoi[1] = 0x00;
    const std::vector<unsigned char> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0};
    const std::pair<const char*, std::vector<unsigned char>> cases[] = {
        {"empty", {}},         {"cut at 100 bytes", headerOnly},
        {"cut at half", half}, {"no start marker", noSoi},
        {"PNG bytes", png},
    };
    for (const auto& [name, data] : cases) {
        EXPECT_EQ(kindOf(data, 100, 100), kind::JPEG) << name;
    }
    EXPECT_EQ(errorInfoLine(kind::JPEG), " エラーが発生しました。 ( 不正なJPEG )");

    test::ScratchFolder dir;
    preview_testing::writeFile(dir.path() + "cut.jpg", half);
    preview_testing::writeFile(dir.path() + "empty.jpg", std::vector<unsigned char>{});
    for (const char* name : {"cut.jpg", "empty.jpg"}) {
        try {
            decodeJpegFile(dir.path() + name, 100, 100);
            ADD_FAILURE() << name;
        } catch (const Error& e) {
            EXPECT_EQ(e.kind(), kind::JPEG) << name;
        }
    }
    EXPECT_THROW(decodeJpegFile(dir.path() + "missing.jpg"), Error);
}

// A hand-made JPEG header declaring `width` x `height` grey pixels, with a
// minimal Huffman table and a few bytes of scan data, then nothing.
std::vector<unsigned char> hugeHeader(int width, int height, bool progressive) {
    std::vector<unsigned char> v = {0xFF, 0xD8};
    // DQT: table 0, all ones.
    v.insert(v.end(), {0xFF, 0xDB, 0x00, 0x43, 0x00});
    v.insert(v.end(), 64, 1);
    // SOF0 / SOF2: 8 bits, height, width, 1 component (id 1, 1x1, table 0).
    v.insert(v.end(), {0xFF, static_cast<unsigned char>(progressive ? 0xC2 : 0xC0), 0x00, 0x0B,
                       0x08, static_cast<unsigned char>(height >> 8),
                       static_cast<unsigned char>(height), static_cast<unsigned char>(width >> 8),
                       static_cast<unsigned char>(width), 0x01, 0x01, 0x11, 0x00});
    // DHT: DC table 0 and AC table 0, each one code of length 1 for symbol 0.
    for (unsigned char cls : {0x00, 0x10}) {
        v.insert(v.end(), {0xFF, 0xC4, 0x00, 0x14, cls, 1});
        v.insert(v.end(), 15, 0);
        v.push_back(0x00);
    }
    // SOS: one component, tables 0/0; first DC scan when progressive.
    v.insert(v.end(), {0xFF, 0xDA, 0x00, 0x08, 0x01, 0x01, 0x00, 0x00,
                       static_cast<unsigned char>(progressive ? 0x00 : 0x3F), 0x00});
    v.insert(v.end(), 64, 0x00);
    return v;
}

TEST(JpegDecoder, AHugeDeclaredSizeIsNeverAllocatedWhole) {
    const auto start = std::chrono::steady_clock::now();
    // Baseline: decoded at 1/8 row by row; the data ends early, which is a damaged JPEG.
    EXPECT_EQ(kindOf(hugeHeader(60000, 60000, false), 1000, 700), kind::JPEG);
    EXPECT_EQ(kindOf(hugeHeader(60000, 60000, false)), kind::JPEG);
    // Progressive: the whole-picture coefficient buffer would take gigabytes.
    EXPECT_EQ(kindOf(hugeHeader(60000, 60000, true), 1000, 700), kind::InvalidGraphic);
    // The same headers at a sane size decode (to grey): the header is well formed.
    EXPECT_EQ(kindOf(hugeHeader(64, 64, false)), "decoded");
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took.count(), 5.0);
}

} // namespace
} // namespace harpoly
