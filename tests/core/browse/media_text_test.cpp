#include "core/browse/media_text.h"
#include "core/browse/preview.h"
#include "core/fullscreen/navigation.h"
#include "core/fullscreen/shortcut_code.h"

#include <gtest/gtest.h>

namespace harpoly {

TEST(MediaText, PlayingTimesAndTheElapsedPanel) {
    const std::pair<std::int64_t, const char*> cases[] = {
        {0, "00:00"},         {999, "00:00"},
        {65'432, "01:05"},    {125'400, "02:05"},
        {3'599'999, "59:59"}, {3'665'000, "61:05"},
        {3'725'000, "62:05"}, {6'000'000'000, "100000:00"},
        {-5, "00:00"},
    };
    for (const auto& [ms, text] : cases) {
        EXPECT_EQ(elapsedText(ms), std::string(" 経過時間 ") + text) << ms;
    }
    // Sound only: no picture, described as 0 by 0.
    EXPECT_EQ(mediaInfoLine(0, 0, sizeText(17'000), 65'432),
              " 幅 0  高さ 0  サイズ 17KB  時間 01:05");
    EXPECT_EQ(mediaInfoLine(320, 240, sizeText(2'345'678), 3'725'000),
              " 幅 320  高さ 240  サイズ 2.34MB  時間 62:05");
}

TEST(MediaText, SliderCountsWholeSeconds) {
    EXPECT_EQ(sliderMaximum(0), 0);
    EXPECT_EQ(sliderMaximum(999), 0); // shorter than a second: range 0 to 0
    EXPECT_EQ(sliderMaximum(1'000), 1);
    EXPECT_EQ(sliderMaximum(65'432), 65);
    EXPECT_EQ(sliderMaximum(-1), 0);
    EXPECT_EQ(sliderPosition(90'000), 90);
    EXPECT_EQ(sliderPosition(89'999), 89);
}

TEST(FullScreenNavigation, StepsWrapAroundTheList) {
    struct Case {
        int current, count, next, previous;
    };
    const Case cases[] = {
        {0, 5, 1, 4},  {4, 5, 0, 3},   {2, 5, 3, 1},    {0, 1, 0, 0},
        {-1, 3, 0, 2}, {0, 0, -1, -1}, {-1, 0, -1, -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(nextEntry(c.current, c.count), c.next) << c.current << "/" << c.count;
        EXPECT_EQ(previousEntry(c.current, c.count), c.previous) << c.current << "/" << c.count;
    }
}

TEST(FullScreenNavigation, ScrollStepsStayWithinRange) {
    EXPECT_EQ(scrolledBy(0, kScrollStep, 100), 15);
    EXPECT_EQ(scrolledBy(0, -kScrollStep, 100), 0);
    EXPECT_EQ(scrolledBy(90, kScrollStep, 100), 100);
    EXPECT_EQ(scrolledBy(0, kScrollStep, 0), 0);
}

TEST(ShortcutCode, ComposedFromKeyAndModifiers) {
    EXPECT_EQ(shortcutCode(vk::Right, false, true), 16423);
    EXPECT_EQ(shortcutCode(vk::Return, true), 8205);
    EXPECT_EQ(shortcutCode(vk::F9, true, true, true), 0xE000 | 120);
    EXPECT_EQ(virtualKeyOf(16423), vk::Right);
}

} // namespace harpoly
