#include "core/app/number_field.h"
#include "core/browse/file_name.h"
#include "core/platform/code_page.h"

#include <gtest/gtest.h>

namespace harpoly {

TEST(NumberField, ReadsTheAcceptedFormsElseTheDefault) {
    const std::pair<const char*, std::int32_t> cases[] = {
        {"", 1},
        {"   ", 1},
        {"abc", 1},
        {" 7", 7},
        {"7 ", 1},
        {"$A", 10},
        {"x1f", 31},
        {"X1F", 31},
        {"0x10", 16},
        {"0X10", 16},
        {"-2", -2},
        {"+5", 5},
        {"-$A", -10},
        {"+-1", 1},
        {"2147483647", 2147483647},
        {"2147483648", 1},
        {"-2147483648", INT32_MIN},
        {"-", 1},
        {"0x", 1},
        {"$", 1},
        {"12a", 1},
        {"99999999999999999999", 1},
    };
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(readNumberField(text, 1), value) << '"' << text << '"';
    }
}

TEST(FileExtLower, FollowsTheLastDotOfTheLastComponent) {
    const std::pair<const char*, const char*> cases[] = {
        {"Photo.JPG", ".jpg"},
        {"README", ""},
        {"archive.tar.GZ", ".gz"},
        {"abc.", "."},
        {".profile", ".profile"},
        {"C:\\a.b\\file", ""},
        {"/home/u/a.b/file", ""},
        {"/home/u/x.Png", ".png"},
        {"d:x", ""},
    };
    for (const auto& [name, ext] : cases) {
        EXPECT_EQ(FileExtLower(name, utf8CodePage()), ext) << name;
    }
}

TEST(FileExtLower, NeverTakesTheSecondByteOfACp932CharacterForASeparator) {
    // "表" is 0x95 0x5C and "ソ" 0x83 0x5C: their second byte is "\" in ASCII.
    const std::pair<const char*, const char*> cases[] = {
        {"a.\x95\x5C", ".\x95\x5C"},
        {"\x83\x5C.TXT", ".txt"},
        {"d:\\\x95\x5C.b\\\x83\x5C.JPG", ".jpg"},
        {"d:\\a.b\\\x95\x5C", ""},
    };
    for (const auto& [name, ext] : cases) {
        EXPECT_EQ(FileExtLower(name, cp932CodePage()), ext) << name;
    }
    // Under UTF-8 the same bytes are not a double-byte character.
    EXPECT_EQ(FileExtLower("a.\x95\x5C", utf8CodePage()), "");
}

TEST(CodePage, LowerCasingNeverTouchesASecondByte) {
    // CP932 "ア" is 0x83 0x41: the second byte is an ASCII 'A' and must stay.
    EXPECT_EQ(cp932CodePage().lower("\x83\x41.JPG"), "\x83\x41.jpg");
    EXPECT_EQ(utf8CodePage().lower("Ä.JPG"), "Ä.jpg");
}

TEST(CodePage, FindsOnlyMatchesThatStartOnACharacter) {
    // "ア" (83 41) followed by "A": searching "A" must skip the second byte.
    EXPECT_EQ(cp932CodePage().find("\x83\x41"
                                   "A",
                                   "A"),
              2u);
    EXPECT_EQ(cp932CodePage().find("abc", ""), std::string_view::npos);
    EXPECT_EQ(utf8CodePage().find("aXa", "a", 1), 2u);
}

} // namespace harpoly
