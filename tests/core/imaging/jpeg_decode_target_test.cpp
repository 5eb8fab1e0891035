// JPEG decodes for a target: handed over at the drawn size, or stopped.
#include "core/imaging/jpeg_decoder.h"
#include "imaging/test_pictures.h"

#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace harpoly {
namespace {

using preview_testing::JpegSpec;
using preview_testing::makeJpeg;

TEST(JpegDecoder, ADecodeForTheDrawnSizeIsHandedOverAtThatSize) {
    preview_testing::JpegSpec layout;
    layout.width = 1600;
    layout.height = 1200;
    const auto data = preview_testing::makeJpeg(layout);
    struct Case {
        int boxWidth, boxHeight;
        int width, height;
    };
    const Case cases[] = {
        {500, 400, 500, 375},     // scale 1/2 (800 x 600), then shrunk to the drawn size
        {200, 150, 200, 150},     // scale 1/8 is the drawn size already
        {2000, 2000, 1600, 1200}, // fits: its own size
        {0, 0, 1600, 1200},       // natural size
    };
    for (const Case& c : cases) {
        const DecodedPicture picture = decodeJpegMemory(
            data.data(), data.size(), DecodeTarget{c.boxWidth, c.boxHeight, true, {}});
        EXPECT_EQ(picture.width, 1600);
        EXPECT_EQ(picture.height, 1200);
        EXPECT_EQ(picture.image.width, c.width) << c.boxWidth << "x" << c.boxHeight;
        EXPECT_EQ(picture.image.height, c.height) << c.boxWidth << "x" << c.boxHeight;
        const std::uint32_t centre = picture.image.at(c.width / 2, c.height / 2);
        EXPECT_NEAR(static_cast<int>(centre >> 16 & 0xFF), 0xC8, 8);
        EXPECT_NEAR(static_cast<int>(centre >> 8 & 0xFF), 0x1E, 8);
        EXPECT_NEAR(static_cast<int>(centre & 0xFF), 0x28, 8);
    }
}

TEST(JpegDecoder, AStoppedDecodeEndsEarlyWithNoPicture) {
    JpegSpec layout;
    layout.width = 3000;
    layout.height = 2000;
    const std::vector<unsigned char> bytes = makeJpeg(layout);
    {
        std::stop_source stop;
        stop.request_stop();
        const DecodedPicture picture = decodeJpegMemory(
            bytes.data(), bytes.size(), DecodeTarget{0, 0, false, stop.get_token()});
        EXPECT_TRUE(picture.image.empty());
    }
    for (const bool progressive : {false, true}) {
        layout.progressive = progressive;
        const std::vector<unsigned char> data = makeJpeg(layout);
        const auto start = std::chrono::steady_clock::now();
        const DecodedPicture whole = decodeJpegMemory(data.data(), data.size());
        const auto wholeTime = std::chrono::steady_clock::now() - start;
        ASSERT_EQ(whole.image.width, 3000);

        // Asked to stop a moment after it began, from another thread.
        std::stop_source stop;
        std::thread stopper([&] {
            std::this_thread::sleep_for(wholeTime / 20);
            stop.request_stop();
        });
        const DecodedPicture stopped =
            decodeJpegMemory(data.data(), data.size(), DecodeTarget{0, 0, false, stop.get_token()});
        stopper.join();
        EXPECT_TRUE(stopped.image.empty()) << "progressive " << progressive;
        // An untouched stop token changes nothing.
        std::stop_source unused;
        EXPECT_EQ(decodeJpegMemory(data.data(), data.size(),
                                   DecodeTarget{0, 0, false, unused.get_token()})
                      .image.width,
                  3000);
    }
}

} // namespace
} // namespace harpoly
