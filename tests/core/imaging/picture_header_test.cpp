#include "core/errors.h"
#include "core/imaging/picture_header.h"
#include "imaging/test_pictures.h"
#include "platform/scratch_folder.h"

#include <cstring>
#include <gtest/gtest.h>

namespace harpoly {
namespace {

using preview_testing::BmpSpec;
using preview_testing::JpegSpec;
using preview_testing::makeBmp;
using preview_testing::makeJpeg;

std::string outcome(const std::string& path, std::string_view ext) {
    try {
        const PixelSize size = readPictureSize(path, ext);
        return std::to_string(size.width) + "x" + std::to_string(size.height);
    } catch (const Error& e) {
        return e.kind();
    }
}

std::uint32_t grey(int, int) {
    return 0x808080;
}

// A bitmap's first 26 bytes with the given information header size, width
// and height (16-bit fields for the 12-byte header).
std::vector<unsigned char> bmpStart(std::uint32_t infoSize, std::int32_t width,
                                    std::int32_t height) {
    std::vector<unsigned char> v(26, 0);
    v[0] = 'B';
    v[1] = 'M';
    std::memcpy(&v[14], &infoSize, 4);
    if (infoSize == 12) {
        const auto w = static_cast<std::uint16_t>(width);
        const auto h = static_cast<std::uint16_t>(height);
        std::memcpy(&v[18], &w, 2);
        std::memcpy(&v[20], &h, 2);
    } else {
        std::memcpy(&v[18], &width, 4);
        std::memcpy(&v[22], &height, 4);
    }
    return v;
}

TEST(PictureHeader, SizesComeFromTheHeaderAlone) {
    test::ScratchFolder dir;
    JpegSpec jpeg;
    jpeg.width = 300;
    jpeg.height = 200;
    std::vector<unsigned char> bytes = makeJpeg(jpeg);
    // Everything after the header is cut away: the size is still there.
    bytes.resize(bytes.size() / 2);
    dir.writeBytes("cut.jpg", bytes);
    BmpSpec bmp;
    bmp.width = 7;
    bmp.height = 5;
    dir.writeBytes("a.bmp", makeBmp(bmp, grey));
    bmp.topDown = true;
    dir.writeBytes("down.bmp", makeBmp(bmp, grey));
    dir.writeBytes("core.bmp", bmpStart(12, 640, 480));
    dir.writeBytes("v5.bmp", bmpStart(124, 33, -44));
    dir.writeBytes("zero.bmp", bmpStart(40, 0, 10));
    dir.writeBytes("lowest.bmp", bmpStart(40, 10, INT32_MIN));
    dir.writeBytes("unknown.bmp", bmpStart(20, 10, 10));
    dir.writeBytes("short.bmp", std::string("BM\x10\x00", 4));
    dir.writeBytes("png.bmp", std::string("\x89PNG\r\n\x1a\n and more bytes than a header needs"));
    dir.write("text.jpg", "this is no picture");
    dir.write("empty.jpg", "");

    struct Case {
        const char* name;
        const char* ext;
        std::string expected;
    };
    const Case cases[] = {
        {"cut.jpg", ".jpg", "300x200"},
        {"cut.jpg", ".jpeg", "300x200"},
        {"a.bmp", ".bmp", "7x5"},
        {"down.bmp", ".bmp", "7x5"},
        {"core.bmp", ".bmp", "640x480"},
        {"v5.bmp", ".bmp", "33x44"},
        {"zero.bmp", ".bmp", kind::InvalidGraphic},
        {"lowest.bmp", ".bmp", kind::InvalidGraphic},
        {"unknown.bmp", ".bmp", kind::InvalidGraphic},
        {"short.bmp", ".bmp", kind::InvalidGraphic},
        {"png.bmp", ".bmp", kind::InvalidGraphic},
        {"text.jpg", ".jpg", kind::JPEG},
        {"empty.jpg", ".jpg", kind::JPEG},
        {"gone.jpg", ".jpg", kind::FOpen},
        {"gone.bmp", ".bmp", kind::FOpen},
        {"a.bmp", ".gif", kind::InvalidGraphic}, // no decoder for it
        {"a.bmp", ".wmf", kind::InvalidGraphic},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(outcome(dir.path() + c.name, c.ext), c.expected) << c.name << " as " << c.ext;
    }
    EXPECT_TRUE(hasPictureDecoder(".jpeg"));
    EXPECT_FALSE(hasPictureDecoder(".png"));
}

} // namespace
} // namespace harpoly
