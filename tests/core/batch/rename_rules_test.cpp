#include "core/batch/rename_rules.h"
#include "core/platform/code_page.h"

#include <gtest/gtest.h>

namespace harpoly {

TEST(RenameRules, InsertAtStartKeepsTheNameAtEndLowersTheExtension) {
    struct Case {
        const char* old;
        const char* text;
        bool atStart;
        const char* expected;
    };
    const Case cases[] = {
        {"Photo.JPG", "_v2", false, "Photo_v2.jpg"},
        {"archive.tar.gz", "_v2", false, "archive.tar_v2.gz"},
        {"README", "_v2", false, "README_v2"},
        {".profile", "_v2", false, "_v2.profile"},
        {"abc.", "_v2", false, "abc_v2."},
        {"Photo.JPG", "new_", true, "new_Photo.JPG"},
        {"Photo.JPG", "", true, "Photo.JPG"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(insertedName(c.old, c.text, c.atStart, utf8CodePage()), c.expected) << c.old;
    }
}

TEST(RenameRules, ReplaceIsNonOverlappingAndNeverSearchesTheExtension) {
    struct Case {
        const char* old;
        const char* search;
        const char* replacement;
        const char* expected;
    };
    const Case cases[] = {
        {"banana.A", "a", "b", "bbnbnb.a"},
        {"aaa.txt", "aa", "b", "ba.txt"},
        {"Photo.JPG", "", "x", "Photo.jpg"},      // empty search text matches nothing
        {"img.JPG", "jpg", "png", "img.jpg"},     // only in the extension
        {"aaa.txt", "a", "aa", "aaaaaa.txt"},     // a replacement is not searched again
        {"Photo.JPG", "photo", "x", "Photo.jpg"}, // letter case matters
        {"a.b.c", "b", "", "a..c"},
        {"abc", "abc", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(replacedName(c.old, c.search, c.replacement, utf8CodePage()), c.expected)
            << c.old << " / " << c.search;
    }
}

TEST(RenameRules, ReplaceSkipsMatchesInsideADoubleByteCharacter) {
    // CP932 "ア" is 0x83 0x41: searching "A" must not hit its second byte.
    EXPECT_EQ(replaceAll("\x83\x41"
                         "A",
                         "A", "b", cp932CodePage()),
              "\x83\x41"
              "b");
    EXPECT_EQ(replaceAll("\x83\x41"
                         "A",
                         "A", "b", utf8CodePage()),
              "\x83"
              "bb");
    // UTF-8 "ä" is C3 A4; a search for the lone byte A4 finds nothing.
    EXPECT_EQ(replaceAll("\xC3\xA4", "\xA4", "x", utf8CodePage()), "\xC3\xA4");
}

TEST(RenameRules, NumberedAndExtensionNames) {
    EXPECT_EQ(numberedName("a", 1, "x.JPG", utf8CodePage()), "a1.jpg");
    EXPECT_EQ(numberedName("a", -2, "z", utf8CodePage()), "a-2");
    EXPECT_EQ(numberedName("", 10, ".Profile", utf8CodePage()), "10.profile");
    struct Case {
        const char* old;
        const char* extension;
        const char* expected;
    };
    const Case cases[] = {
        {"photo.JPG", "jpeg", "photo.jpeg"}, {"notes", "txt", "notes.txt"},
        {"a.tar.gz", "tgz", "a.tar.tgz"},    {"photo.jpg", "JPG", "photo.JPG"},
        {"photo.jpg", ".png", "photo..png"}, {"photo.jpg", "", "photo."},
        {".profile", "txt", ".txt"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(extensionChangedName(c.old, c.extension), c.expected)
            << c.old << " + " << c.extension;
    }
}

} // namespace harpoly
