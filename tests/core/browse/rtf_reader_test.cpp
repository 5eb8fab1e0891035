#include "core/browse/rtf_reader.h"

#include <gtest/gtest.h>

namespace harpoly {
namespace {

std::string textOf(std::string_view rtf) {
    return readRtf(rtf).plainText();
}

TEST(RtfReader, KeepsCharacterFormatsAsRuns) {
    const RtfDocument doc = readRtf(
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fmodern Courier New;}}"
        "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue128;}"
        "\\f0\\fs24 Plain {\\b bold} {\\i\\cf1 red}\\ul under\\ulnone  {\\f1\\fs36 big}\\par\n"
        "\\qc Second\\line line\\tab x\\par}");
    ASSERT_EQ(doc.paragraphs.size(), 2u);
    const auto& runs = doc.paragraphs[0].runs;
    ASSERT_EQ(runs.size(), 7u);
    EXPECT_EQ(runs[0].text, "Plain ");
    EXPECT_EQ(runs[0].fontFamily, "Arial");
    EXPECT_EQ(runs[0].pointSize, 12);
    EXPECT_FALSE(runs[0].bold);
    EXPECT_EQ(runs[1].text, "bold");
    EXPECT_TRUE(runs[1].bold);
    EXPECT_EQ(runs[2].text, " ");
    EXPECT_EQ(runs[3].text, "red");
    EXPECT_TRUE(runs[3].italic);
    EXPECT_EQ(runs[3].colour, 0xFF0000u);
    EXPECT_EQ(runs[4].text, "under");
    EXPECT_TRUE(runs[4].underline);
    EXPECT_FALSE(runs[4].colour.has_value());
    EXPECT_EQ(runs[5].text, " "); // the blank after \ulnone ends the word
    EXPECT_EQ(runs[6].text, "big");
    EXPECT_EQ(runs[6].fontFamily, "Courier New");
    EXPECT_EQ(runs[6].pointSize, 18);
    EXPECT_EQ(doc.paragraphs[1].alignment, RtfAlignment::Centre);
    EXPECT_EQ(doc.paragraphs[1].runs[0].text, "Second\nline\tx");
}

TEST(RtfReader, DecodesBytesInTheDocumentCodePage) {
    const std::pair<const char*, const char*> cases[] = {
        {"{\\rtf1\\ansi\\ansicpg932 \\'93\\'fa\\'96\\'7b\\par}", "日本"},
        {"{\\rtf1\\ansi\\ansicpg1252 caf\\'e9 \\'80\\par}", "café €"},
        {"{\\rtf1\\ansi caf\\'e9\\par}", "café"},
        // A font's character set decides for its own text.
        {"{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f1\\fcharset128 X;}}\\f1 \\'82\\'a0\\f0\\par}",
         "あ"},
        // Raw 8-bit bytes count as well.
        {"{\\rtf1\\ansi\\ansicpg1252 \xe9t\xe9\\par}", "été"},
        {"{\\rtf1 \\\\ \\{ \\} \\~x\\emdash\\par}", "\\ { } \u00A0x\u2014"},
    };
    for (const auto& [rtf, text] : cases) {
        EXPECT_EQ(textOf(rtf), text) << rtf;
    }
}

TEST(RtfReader, FontNamesAreDecodedInTheirCharacterSet) {
    const RtfDocument doc =
        readRtf("{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 "
                "\\'82\\'6c\\'82\\'72 \\'82\\'6f\\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e;}}"
                "\\f0\\fs20 x\\par}");
    ASSERT_EQ(doc.paragraphs.size(), 1u);
    EXPECT_EQ(doc.paragraphs[0].runs[0].fontFamily, "ＭＳ Ｐゴシック");
    EXPECT_EQ(doc.paragraphs[0].runs[0].pointSize, 10);
}

TEST(RtfReader, UnicodeCharactersSkipTheirFallback) {
    const std::pair<const char*, const char*> cases[] = {
        {"{\\rtf1\\uc1\\u12354?x\\par}", "あx"},
        {"{\\rtf1\\u12354?x\\par}", "あx"}, // \uc1 is the default
        {"{\\rtf1\\uc2\\u26085\\'93\\'fa\\u26412\\'96\\'7bz\\par}", "日本z"},
        {"{\\rtf1\\uc0\\u12354 x\\par}", "あx"},
        {"{\\rtf1\\u-3913?\\par}", "\uF0B7"},
        {"{\\rtf1\\u-10179?\\u-8704?\\par}", "\xF0\x9F\x98\x80"},
        // A group end stops the skipping.
        {"{\\rtf1{\\uc3\\u12354}ab\\par}", "あab"},
    };
    for (const auto& [rtf, text] : cases) {
        EXPECT_EQ(textOf(rtf), text) << rtf;
    }
}

TEST(RtfReader, SkipsDestinationsThatAreNotText) {
    const char* rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\*\\generator Writer 1.0;}"
                      "{\\stylesheet{\\s0 Normal;}}{\\info{\\title Secret}{\\author Me}}"
                      "{\\header Head}{\\footer Foot}A"
                      "{\\*\\unknowndest hidden {\\b nested}}"
                      "{\\pict\\pngblip\\picw10 89504e470d0a1a0a}"
                      "{\\pict\\wmetafile8\\bin4 {}{}}\\par "
                      "B{\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt link}}\\par}";
    EXPECT_EQ(textOf(rtf), "A\nBlink");
}

TEST(RtfReader, SurvivesUnbalancedBracesAndDeepNesting) {
    EXPECT_EQ(textOf("{\\rtf1 a{\\b b"), "ab");
    EXPECT_EQ(textOf("{\\rtf1 a}}}} b}"), "a b");
    EXPECT_EQ(textOf("{\\rtf1 \\'9"), "");
    EXPECT_EQ(textOf("{\\rtf1 \\"), "");
    EXPECT_EQ(textOf("{\\rtf1 \\u"), "");
    EXPECT_EQ(textOf("{\\rtf1 \\bin99999 x"), "");
    const RtfDocument open = readRtf("{\\rtf1 a{\\b b");
    ASSERT_EQ(open.paragraphs.size(), 1u);
    EXPECT_TRUE(open.paragraphs[0].runs.back().bold);

    std::string deep = "{\\rtf1 ";
    deep += std::string(1'000'000, '{') + "x" + std::string(500'000, '}') + "y";
    EXPECT_EQ(textOf(deep), "xy");
}

TEST(RtfReader, StopsAtTheTextLimit) {
    std::string rtf = "{\\rtf1 ";
    for (int i = 0; i < 1000; ++i) {
        rtf += "{\\b word}\\par ";
    }
    const RtfDocument doc = readRtf(rtf + "}", 100);
    EXPECT_TRUE(doc.shortened);
    EXPECT_GE(doc.plainText().size(), 95u);
    EXPECT_LT(doc.plainText().size(), 120u);
    EXPECT_FALSE(readRtf(rtf + "}").shortened);
}

TEST(RtfReader, ALongRunWithoutControlWordsStopsAtTheTextLimitToo) {
    const std::string plain = "{\\rtf1 " + std::string(1'000'000, 'a') + "}";
    // "x" and 200 double-byte characters: the text is cut at the limit, at
    // the start of a character (each takes three bytes in UTF-8).
    std::string escaped = "{\\rtf1\\ansicpg932 x";
    for (int i = 0; i < 200; ++i) {
        escaped += "\\'82\\'a0";
    }
    std::string hiragana = "x";
    for (int i = 0; i < 33; ++i) {
        hiragana += "\u3042";
    }
    const std::pair<std::string, std::string> cases[] = {
        {plain, std::string(100, 'a')},
        {escaped + "}", hiragana},
    };
    for (const auto& [rtf, text] : cases) {
        const RtfDocument doc = readRtf(rtf, 100);
        EXPECT_TRUE(doc.shortened);
        EXPECT_EQ(doc.plainText(), text);
    }
}

TEST(RtfReader, OverlongFontNamesAndFontTablesAreCut) {
    std::string rtf = "{\\rtf1{\\fonttbl{\\f0 " + std::string(100'000, 'F') + ";}}\\f0 ";
    for (int i = 0; i < 500; ++i) {
        rtf += "{\\b x}y";
    }
    const RtfDocument doc = readRtf(rtf + "}");
    ASSERT_EQ(doc.paragraphs.size(), 1u);
    ASSERT_EQ(doc.paragraphs[0].runs.size(), 1000u);
    EXPECT_EQ(doc.paragraphs[0].runs[0].fontFamily, std::string(128, 'F'));

    // A font table of 100,000 entries keeps the first 4096 of them.
    std::string table = "{\\rtf1{\\fonttbl";
    for (int i = 0; i < 100'000; ++i) {
        table += "{\\f" + std::to_string(i) + " N" + std::to_string(i) + ";}";
    }
    const RtfDocument many = readRtf(table + "}\\f4095 a\\f4096 b}");
    ASSERT_EQ(many.paragraphs.size(), 1u);
    ASSERT_EQ(many.paragraphs[0].runs.size(), 2u);
    EXPECT_EQ(many.paragraphs[0].runs[0].fontFamily, "N4095");
    EXPECT_EQ(many.paragraphs[0].runs[1].fontFamily, "");
}

} // namespace
} // namespace harpoly
