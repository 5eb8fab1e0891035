#include "core/browse/wildcard.h"

#include "core/platform/code_page.h"

#include <gtest/gtest.h>

namespace harpoly {

TEST(Wildcard, MatchesLikeTheFileSystem) {
    const struct {
        const char* pattern;
        const char* name;
        bool match;
    } cases[] = {
        {"*.*", "a.txt", true},         {"*.*", "README", true},
        {"*.*", ".profile", true},      {"*.*", "", true},
        {"*", "x.y.z", true},           {"*.jpg", "A.JPG", true},
        {"*.JPG", "a.jpg", true},       {"*.jpg", "a.jpeg", false},
        {"*.jpg", "jpg", false},        {"*.jpg", "a.jpg.txt", false},
        {"a?c", "abc", true},           {"a?c", "ac", false},
        {"a?c", "abbc", false},         {"*b*", "abc", true},
        {"*b*", "ac", false},           {"read*.*", "README", true},
        {"read*.*", "readme.md", true}, {"*.t?t", "x.TXT", true},
        {"**a", "bba", true},           {"", "a", false},
        {"a*b*c", "aXbYbZc", true},     {"a*b*c", "aXbYbZ", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(wildcardMatch(c.pattern, c.name, utf8CodePage()), c.match)
            << c.pattern << " / " << c.name;
    }
}

TEST(Wildcard, QuestionMarkTakesAWholeCharacter) {
    // UTF-8 "表" is three bytes, CP932 "表" (95 5C) two: "?" takes either whole.
    EXPECT_TRUE(wildcardMatch("?.txt", "\xE8\xA1\xA8.txt", utf8CodePage()));
    EXPECT_FALSE(wildcardMatch("??.txt", "\xE8\xA1\xA8.txt", utf8CodePage()));
    EXPECT_TRUE(wildcardMatch("?.txt", "\x95\x5C.txt", cp932CodePage()));
    EXPECT_FALSE(wildcardMatch("??.txt", "\x95\x5C.txt", cp932CodePage()));
    // "ア" is 83 41: its second byte is an "A" that must not match "a".
    EXPECT_FALSE(wildcardMatch("*a*", "\x83\x41", cp932CodePage()));
    EXPECT_TRUE(wildcardMatch("\x83\x41*", "\x83\x41.JPG", cp932CodePage()));
}

TEST(Wildcard, SplitsTheSearchPatternAtTheLastSlash) {
    const struct {
        const char* folder;
        const char* filter;
        const char* searchFolder;
        const char* pattern;
    } cases[] = {
        {"/p/", "*.JPG", "/p/", "*.jpg"},
        {"/p/", "Sub/*.JPG", "/p/Sub/", "*.jpg"}, // folder part kept as written
        {"/p/", "/abs/X*", "/p//abs/", "x*"},
        {"/p/no-slash", "*.*", "/p/", "no-slash*.*"},
        {"/p/", "", "/p/", ""},
    };
    for (const auto& c : cases) {
        const SearchPattern s = splitSearchPattern(c.folder, c.filter, utf8CodePage());
        EXPECT_EQ(s.folder, c.searchFolder) << c.folder << c.filter;
        EXPECT_EQ(s.namePattern, c.pattern) << c.folder << c.filter;
    }
}

} // namespace harpoly
