#include "core/browse/text_preview.h"
#include "core/errors.h"
#include "imaging/test_pictures.h" // tests/core
#include "platform/scratch_folder.h"

#include <chrono>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace harpoly {
namespace {

using preview_testing::writeFile;
using test::ScratchFolder;

TEST(TextDecoding, ByteOrderMarkDecidesElseUtf8ElseCp932) {
    struct Case {
        const char* name;
        std::string bytes;
        TextEncoding encoding;
        std::string text;
    };
    const Case cases[] = {
        {"UTF-8 mark", "\xEF\xBB\xBF\xE3\x81\x82x", TextEncoding::Utf8Bom, "あx"},
        {"UTF-16 LE", std::string("\xFF\xFE\x42\x30x\0", 6), TextEncoding::Utf16LE, "あx"},
        {"UTF-16 BE", std::string("\xFE\xFF\x30\x42\0x", 6), TextEncoding::Utf16BE, "あx"},
        {"UTF-16 LE pair", std::string("\xFF\xFE\x3D\xD8\x00\xDE", 6), TextEncoding::Utf16LE,
         "\xF0\x9F\x98\x80"},
        {"UTF-16 lone half", std::string("\xFF\xFE\x3D\xD8", 4), TextEncoding::Utf16LE,
         "\xEF\xBF\xBD"},
        {"plain ASCII", "abc\r\n", TextEncoding::Utf8, "abc\r\n"},
        {"UTF-8", "日本語", TextEncoding::Utf8, "日本語"},
        {"CP932", "\x93\xFA\x96\x7B\x8C\xEA", TextEncoding::Cp932, "日本語"},
        {"CP932 with a backslash byte", "\x83\x5C", TextEncoding::Cp932, "ソ"},
        {"CP932 half-width kana", "\xB1\xB2", TextEncoding::Cp932, "ｱｲ"},
        {"CP932 with a bad byte", "\x93\xFA\xA0", TextEncoding::Cp932, "日\xEF\xBF\xBD"},
        {"overlong UTF-8 is not UTF-8", "\xC0\xAF", TextEncoding::Cp932, "ﾀｯ"},
        {"empty", "", TextEncoding::Utf8, ""},
    };
    for (const Case& c : cases) {
        TextEncoding used{};
        EXPECT_EQ(decodeText(c.bytes, &used), c.text) << c.name;
        EXPECT_EQ(used, c.encoding) << c.name;
    }
}

TEST(TextDecoding, ACharacterCutByTheReadCapIsDropped) {
    TextEncoding used{};
    // "日本" in UTF-8 cut inside the second character.
    EXPECT_EQ(decodeText("\xE6\x97\xA5\xE6\x9C", &used, true), "日");
    EXPECT_EQ(used, TextEncoding::Utf8);
    // Not cut by us: the file itself is not UTF-8.
    decodeText("\xE6\x97\xA5\xE6\x9C", &used, false);
    EXPECT_EQ(used, TextEncoding::Cp932);
    // CP932 cut after a lead byte.
    EXPECT_EQ(decodeText("\x93\xFA\x96", &used, true), "日");
}

TEST(TextPreview, LineEndsBecomeNewlines) {
    ScratchFolder dir;
    writeFile(dir.path() + "a.txt", std::string("one\r\ntwo\rthree\n"));
    const TextPreview p = loadTextPreview(dir.path() + "a.txt");
    EXPECT_FALSE(p.rich);
    EXPECT_FALSE(p.shortened);
    EXPECT_EQ(p.text, "one\ntwo\nthree\n");
}

TEST(TextPreview, AHugeFileGivesAShortenedViewQuickly) {
    ScratchFolder dir;
    for (const char* name : {"big.txt", "big.rtf"}) {
        const std::string path = dir.path() + name;
        writeFile(path, std::string(name) == "big.txt" ? std::string("日本語\n")
                                                       : std::string("{\\rtf1 Hello\\par "));
        const int fd = ::open(path.c_str(), O_WRONLY);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, 100 << 20), 0); // sparse: 100 MB of zero bytes
        ::close(fd);
    }
    const auto start = std::chrono::steady_clock::now();
    const TextPreview text = loadTextPreview(dir.path() + "big.txt");
    EXPECT_TRUE(text.shortened);
    EXPECT_LE(text.text.size(), kPlainTextPreviewCap);
    EXPECT_EQ(text.text.substr(0, 10), "日本語\n");
    const TextPreview rich = loadTextPreview(dir.path() + "big.rtf");
    EXPECT_TRUE(rich.rich);
    EXPECT_TRUE(rich.shortened);
    EXPECT_EQ(rich.text.substr(0, 5), "Hello");
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took.count(), 5.0);
}

TEST(TextPreview, CapsCutAtACharacterBoundary) {
    ScratchFolder dir;
    writeFile(dir.path() + "a.txt", std::string("ああああ")); // 12 bytes
    const TextPreview p = loadTextPreview(dir.path() + "a.txt", 7, 100);
    EXPECT_TRUE(p.shortened);
    EXPECT_EQ(p.text, "ああ");
}

TEST(TextPreview, AMissingFileIsAnError) {
    ScratchFolder dir;
    EXPECT_THROW(loadTextPreview(dir.path() + "none.txt"), Error);
    EXPECT_THROW(loadTextPreview(dir.path()), Error); // a folder
}

} // namespace
} // namespace harpoly
