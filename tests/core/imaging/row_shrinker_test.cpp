#include "core/imaging/row_shrinker.h"

#include <gtest/gtest.h>

namespace harpoly {
namespace {

// Shrinks a picture given as rows of grey levels (opaque) and returns the
// grey levels of the result, row by row.
std::vector<std::vector<int>> shrunk(const std::vector<std::vector<int>>& grey, int toWidth,
                                     int toHeight) {
    const int width = static_cast<int>(grey[0].size());
    const int height = static_cast<int>(grey.size());
    RowShrinker shrinker(width, height, toWidth, toHeight);
    for (const auto& row : grey) {
        std::vector<std::uint32_t> pixels;
        for (const int v : row) {
            const auto g = static_cast<std::uint32_t>(v);
            pixels.push_back(0xFF000000u | g << 16 | g << 8 | g);
        }
        shrinker.addRow(pixels.data());
    }
    const RgbaImage out = shrinker.take();
    std::vector<std::vector<int>> result;
    for (int y = 0; y < out.height; ++y) {
        std::vector<int> row;
        for (int x = 0; x < out.width; ++x) {
            const std::uint32_t p = out.at(x, y);
            EXPECT_EQ(p >> 24, 0xFFu);
            EXPECT_EQ(p >> 16 & 0xFF, p & 0xFF);
            row.push_back(static_cast<int>(p & 0xFF));
        }
        result.push_back(row);
    }
    return result;
}

TEST(RowShrinker, EachPixelIsTheMeanOfTheAreaItCovers) {
    struct Case {
        const char* what;
        std::vector<std::vector<int>> grey;
        int toWidth, toHeight;
        std::vector<std::vector<int>> expected;
    };
    const Case cases[] = {
        {"whole blocks", {{0, 100, 8, 8}, {100, 0, 8, 8}}, 2, 1, {{50, 8}}},
        // 3 to 2: the middle pixel is shared half and half.
        {"a shared pixel across", {{0, 90, 180}}, 2, 1, {{30, 150}}},
        {"a shared row down", {{0}, {90}, {180}}, 1, 2, {{30}, {150}}},
        {"both ways", {{0, 0, 90}, {0, 0, 90}, {90, 90, 180}}, 2, 2, {{0, 60}, {60, 120}}},
        {"unchanged size", {{1, 2}, {3, 4}}, 2, 2, {{1, 2}, {3, 4}}},
        {"to one pixel", {{10, 20, 30}, {40, 50, 60}}, 1, 1, {{35}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(shrunk(c.grey, c.toWidth, c.toHeight), c.expected) << c.what;
    }
}

TEST(RowShrinker, ChannelsAreAveragedApart) {
    RowShrinker shrinker(2, 1, 1, 1);
    const std::uint32_t row[] = {0xFFFF0000u, 0x000000FFu};
    shrinker.addRow(row);
    EXPECT_EQ(shrinker.take().at(0, 0), 0x80800080u);
}

} // namespace
} // namespace harpoly
