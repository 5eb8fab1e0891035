#include "core/browse/text_loader.h"
#include "core/browse/text_preview.h"
#include "core/errors.h"
#include "imaging/test_pictures.h" // tests/core
#include "platform/scratch_folder.h"

#include <fstream>
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

// Read in pieces of any size, a text decodes as it does whole: marks, pairs
// of UTF-16, CP932 and UTF-8 characters and "\r\n" cut between pieces.
TEST(TextDecoding, PiecesOfAnySizeReadAsTheWhole) {
    const std::string texts[] = {
        "\xEF\xBB\xBF\xE6\x97\xA5\xE6\x9C\xAC\r\n\xE8\xAA\x9E",
        std::string("\xFF\xFE\x3D\xD8\x00\xDE\x42\x30\r\0\n\0x", 13),
        std::string("\xFE\xFF\x30\x42\0\r\0\n", 8),
        "ascii first\r\nthen \x93\xFA\x96\x7B\x8C\xEA\rand \x83\x5C",
        "plain \xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\r\n",
        "\xEF\xBB", // the start of a mark, and nothing more
        "\xFF",
    };
    for (const std::string& whole : texts) {
        LineEnds once;
        const std::string expected = once.normalise(decodeText(whole));
        for (std::size_t piece = 1; piece <= 7; ++piece) {
            TextDecoder decoder;
            LineEnds lineEnds;
            std::string text;
            for (std::size_t at = 0; at < whole.size(); at += piece) {
                const bool last = at + piece >= whole.size();
                text += lineEnds.normalise(decoder.decode(whole.substr(at, piece), last));
            }
            EXPECT_EQ(text, expected) << whole << " in pieces of " << piece;
        }
    }
}

TEST(TextDecoding, LineEndsOfEveryPlatformBecomeNewlines) {
    LineEnds lineEnds;
    EXPECT_EQ(lineEnds.normalise("one\r\ntwo\rthree\n\r"), "one\ntwo\nthree\n\n");
    EXPECT_EQ(lineEnds.normalise("\nfour"), "four"); // the "\n" of a split "\r\n"
    EXPECT_EQ(lineEnds.normalise("\n"), "\n");
}

// Reads a whole file through a loader in pieces of `piece` bytes.
std::string readAll(TextLoader& loader, std::size_t piece) {
    std::string text;
    while (!loader.done()) {
        text += loader.nextText(piece);
    }
    return text;
}

TEST(TextLoader, ReadsThePlainTextWholeInPieces) {
    ScratchFolder dir;
    std::string bytes;
    for (int i = 0; i < 5000; ++i) {
        bytes += "行 " + std::to_string(i) + "\r\n";
    }
    writeFile(dir.path() + "a.txt", bytes);
    TextLoader loader(dir.path() + "a.txt");
    EXPECT_FALSE(loader.rich());
    EXPECT_FALSE(loader.done());
    const std::string text = readAll(loader, 1000);
    EXPECT_EQ(text.size(), bytes.size() - 5000);
    EXPECT_TRUE(text.ends_with("\n行 4999\n"));
    EXPECT_EQ(loader.bytesRead(), bytes.size());
    EXPECT_EQ(loader.endNote(), "");
    EXPECT_EQ(loader.nextText(1000), "");

    writeFile(dir.path() + "empty.txt", std::string());
    EXPECT_TRUE(TextLoader(dir.path() + "empty.txt").done());
}

// A file beyond the limit shows its first bytes, cut at a character, and
// says so with the byte counts.
TEST(TextLoader, AFileBeyondTheLimitSaysSo) {
    ScratchFolder dir;
    writeFile(dir.path() + "a.txt", std::string("ああああ")); // 12 bytes
    TextLoader plain(dir.path() + "a.txt", {7, 100});
    EXPECT_EQ(readAll(plain, 5), "ああ");
    EXPECT_EQ(
        plain.endNote(),
        "（ファイルが大きすぎるため、全 12 バイトのうち先頭の 7 バイトだけを表示しています）");

    writeFile(dir.path() + "a.rtf", std::string("{\\rtf1 Hello\\par World\\par}"));
    TextLoader rich(dir.path() + "a.rtf", {100, 16});
    EXPECT_TRUE(rich.rich());
    EXPECT_TRUE(rich.done());
    EXPECT_EQ(rich.document().plainText(), "Hello"); // "{\rtf1 Hello\par"
    EXPECT_EQ(
        rich.endNote(),
        "（ファイルが大きすぎるため、全 27 バイトのうち先頭の 16 バイトだけを表示しています）");
}

TEST(TextLoader, RichTextIsReadWhole) {
    ScratchFolder dir;
    std::string rtf = "{\\rtf1\\ansi ";
    for (int i = 0; i < 3000; ++i) {
        rtf += "{\\b Line " + std::to_string(i) + "}\\par ";
    }
    writeFile(dir.path() + "a.rtf", rtf + "}");
    TextLoader loader(dir.path() + "a.rtf");
    EXPECT_TRUE(loader.rich());
    EXPECT_TRUE(loader.done());
    ASSERT_GE(loader.document().paragraphs.size(), 3000u);
    EXPECT_EQ(loader.document().paragraphs[2999].runs.at(0).text, "Line 2999");
    EXPECT_TRUE(loader.document().paragraphs[2999].runs.at(0).bold);
    EXPECT_EQ(loader.endNote(), "");
}

// A file that changes while it loads: the loading stops cleanly at what the
// file holds, or at the size it had when it was opened, and says so.
TEST(TextLoader, AFileThatChangesWhileItLoadsStopsCleanly) {
    ScratchFolder dir;
    const std::string path = dir.path() + "log.txt";
    writeFile(path, std::string(100000, 'a'));
    TextLoader shrinking(path);
    EXPECT_EQ(shrinking.nextText(30000).size(), 30000u);
    ASSERT_EQ(::truncate(path.c_str(), 50000), 0);
    EXPECT_EQ(readAll(shrinking, 30000).size(), 20000u);
    EXPECT_EQ(shrinking.endNote(), "（読み込み中にファイルが短くなったため、50000 "
                                   "バイトで表示を終えました。開いたときは 100000 バイトでした）");

    TextLoader cutAtOnce(path);
    ASSERT_EQ(::truncate(path.c_str(), 0), 0);
    EXPECT_EQ(readAll(cutAtOnce, 30000), "");
    EXPECT_NE(cutAtOnce.endNote().find("短くなった"), std::string::npos);

    writeFile(path, "first\n");
    TextLoader growing(path);
    { std::ofstream(path, std::ios::app) << "second\n"; }
    EXPECT_EQ(readAll(growing, 30000), "first\n");
    EXPECT_EQ(growing.endNote(),
              "（読み込み中にファイルが大きくなりました。表示は開いたときの 6 バイトまでです）");
}

TEST(TextLoader, AMissingFileIsAnError) {
    ScratchFolder dir;
    EXPECT_THROW(TextLoader(dir.path() + "none.txt"), Error);
    EXPECT_THROW(TextLoader(dir.path()), Error); // a folder
}

} // namespace
} // namespace harpoly
