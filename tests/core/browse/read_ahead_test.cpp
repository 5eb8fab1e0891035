#include "core/browse/picture_cache.h"
#include "core/browse/read_ahead.h"

#include <gtest/gtest.h>

namespace harpoly {
namespace {

TEST(ReadAhead, TheDirectionOfAMove) {
    struct Case {
        int from, to, count, direction;
    };
    const Case cases[] = {
        {3, 4, 10, 1},  {4, 3, 10, -1}, {3, 3, 10, 0}, {-1, 0, 10, 0},
        {2, 7, 10, 1},  {7, 2, 10, -1}, {9, 0, 10, 1}, // round the end: one step forward
        {0, 9, 10, -1},                                // and one step back
        {0, 1, 2, 1},   {1, 0, 2, -1},                 // two entries: no way round to tell apart
        {0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(travelDirection(c.from, c.to, c.count), c.direction)
            << c.from << " -> " << c.to << " of " << c.count;
    }
}

TEST(ReadAhead, TheNextEntryInTheDirectionOfTravelComesFirst) {
    struct Case {
        int current, count, direction;
        bool wrap;
        std::vector<int> entries;
    };
    const Case cases[] = {
        {4, 10, 1, false, {5, 3}}, {4, 10, -1, false, {3, 5}},
        {4, 10, 0, false, {5, 3}},                       // no move yet: forward
        {9, 10, 1, false, {8}},                          // the list ends here
        {9, 10, 1, true, {0, 8}},                        // full screen goes round
        {0, 10, -1, true, {9, 1}}, {0, 2, 1, true, {1}}, // both ways the same entry
        {0, 1, 1, true, {}},                             // a single entry
        {-1, 5, 1, true, {}},                            // nothing current
        {0, 0, 1, true, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(readAheadEntries(c.current, c.count, c.direction, c.wrap), c.entries)
            << c.current << " of " << c.count << " going " << c.direction;
    }
}

TEST(ReadAhead, TheBudgetHoldsAHandfulOfPicturesOfTheArea) {
    EXPECT_EQ(keptPicturesBudget(3840, 2160), 5u * 3840 * 2160 * 4);
    // A small window still keeps pictures of a full HD screen's size.
    EXPECT_EQ(keptPicturesBudget(500, 400), 5u * 1920 * 1080 * 4);
    EXPECT_EQ(keptPicturesBudget(0, 0), 5u * 1920 * 1080 * 4);
}

TEST(PictureCache, TheLeastRecentlyUsedGoesFirstButNeverAWantedOne) {
    PictureCache<int> cache(100);
    EXPECT_TRUE(cache.insert("a", 1, 40));
    EXPECT_TRUE(cache.insert("b", 2, 40));
    ASSERT_NE(cache.find("a"), nullptr); // a is now the most recently used
    EXPECT_TRUE(cache.insert("c", 3, 40));
    EXPECT_EQ(cache.find("b"), nullptr);
    EXPECT_EQ(*cache.find("a"), 1);
    EXPECT_EQ(cache.used(), 80u);

    // c is the least recently used but wanted: a goes instead.
    const auto wanted = [](const std::string& key) { return key == "c"; };
    EXPECT_TRUE(cache.insert("d", 4, 60, wanted));
    EXPECT_EQ(cache.find("a"), nullptr);
    EXPECT_NE(cache.find("c"), nullptr);
    EXPECT_EQ(cache.used(), 100u);

    // No room without giving up a wanted one: not kept.
    const auto both = [](const std::string& key) { return key == "c" || key == "d"; };
    EXPECT_FALSE(cache.insert("e", 5, 10, both));
    EXPECT_EQ(cache.find("e"), nullptr);
    // Larger than the whole budget: never kept, and nothing given up for it.
    EXPECT_FALSE(cache.insert("huge", 6, 101));
    EXPECT_EQ(cache.size(), 2u);

    // The same key again replaces the picture.
    EXPECT_TRUE(cache.insert("c", 7, 30));
    EXPECT_EQ(*cache.find("c"), 7);
    EXPECT_EQ(cache.used(), 90u);
    // A smaller budget gives up pictures at once.
    cache.setBudget(50);
    EXPECT_LE(cache.used(), 50u);
    EXPECT_EQ(cache.size(), 1u);
}

} // namespace
} // namespace harpoly
