#include "core/errors.h"
#include "generate/generate_fakes.h"
#include "core/generate/icon_extraction.h"
#include "generate/icon_test_files.h"
#include "core/imaging/icon_file.h"
#include "core/imaging/icon_source.h"
#include "core/imaging/icon_writers.h"
#include "platform/scratch_folder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <jpeglib.h>

namespace harpoly {
namespace {

using namespace icon_test;
using generate_test::FakeFileList;
using generate_test::RecordingBusy;
using generate_test::ScriptedPrompter;
using test::ScratchFolder;

const char* const kCaption = "アイコン抽出";
const char* const kSixteenColors = "アイコン形式の正常出力は16色アイコンだけです。";

// A 32 by 32 icon with a transparent top-left corner and colours that are not
// in the 16-colour palette.
Image cornerIcon(int bits = 24) {
    return {32, 32, bits,
            dibImage(
                32, 32, bits,
                [](int x, int y) -> std::uint32_t {
                    if (x < 4 && y < 4) {
                        return 0;
                    }
                    return x < 16 ? 0xF01010u : 0x1020E0u; // near red, near blue
                },
                [](int x, int y) { return x < 4 && y < 4; })};
}

class IconExtractionTest : public ::testing::Test {
protected:
    ScratchFolder display;
    ScratchFolder output;
    FakeFileList list;
    ScriptedPrompter prompter;
    RecordingBusy busy;
    int previews = 0;

    IconExtractResult run(const std::string& name, int format,
                          const std::string& outputFolder = {}) {
        list.names = {"other.txt", name};
        list.current = 1;
        IconExtractRequest r;
        r.name = name;
        r.displayFolder = display.path();
        r.outputFolder = outputFolder.empty() ? output.path() : outputFolder;
        r.formatIndex = format;
        r.caption = kCaption;
        return extractIcons(r, list, prompter, busy, [this] { ++previews; });
    }
};

TEST_F(IconExtractionTest, WritesOnePictureNumberedPerIcon) {
    std::vector<std::vector<Image>> groups(12, std::vector<Image>{cornerIcon()});
    display.writeBytes("tool.exe", peFile(groups));
    EXPECT_EQ(run("tool.exe", 1), IconExtractResult::Written);
    ASSERT_EQ(prompter.boxes.size(), 1u);
    EXPECT_EQ(prompter.boxes[0].text, "tool.exeのアイコンを出力フォルダへ抽出しますか?");
    EXPECT_EQ(prompter.boxes[0].caption, kCaption);
    for (int i = 0; i < 12; ++i) {
        EXPECT_TRUE(output.exists("tool-" + std::to_string(i) + ".bmp")) << i;
    }
    EXPECT_FALSE(output.exists("tool-12.bmp"));
    EXPECT_EQ(busy.begun, 12);
    EXPECT_EQ(busy.steps, 12);
    EXPECT_TRUE(busy.ended);
    EXPECT_EQ(previews, 1); // another folder: the list is not re-read
    EXPECT_TRUE(list.refreshedWith.empty());
}

TEST_F(IconExtractionTest, ASourceWithoutIconsOnlyGetsTheNotice) {
    display.write("notes.txt", "hello");
    display.writeBytes("plain.exe", peFile({}));
    for (const std::string name : {"notes.txt", "plain.exe", "missing.exe", ""}) {
        for (int format : {0, 1, 2}) {
            prompter.boxes.clear();
            EXPECT_EQ(run(name, format), IconExtractResult::NoIcons);
            ASSERT_EQ(prompter.boxes.size(), 1u);
            EXPECT_FALSE(prompter.boxes[0].question);
            EXPECT_EQ(prompter.boxes[0].text, name + "にはアイコンは存在しません");
        }
    }
    EXPECT_EQ(busy.begun, -1);
    EXPECT_EQ(previews, 0);
    EXPECT_TRUE(list.refreshedWith.empty());
    EXPECT_TRUE(std::filesystem::is_empty(output.path()));
}

TEST_F(IconExtractionTest, NamesPicturesAfterTheStem) {
    display.writeBytes("a.tar.exe", peFile({{cornerIcon()}}));
    display.writeBytes("README", peFile({{cornerIcon()}}));
    display.writeBytes("app.ico", icoFile({solidImage(16, 4, 9), cornerIcon()}));
    run("a.tar.exe", 2);
    run("README", 1);
    run("app.ico", 0);
    EXPECT_TRUE(output.exists("a.tar-0.jpg"));
    EXPECT_TRUE(output.exists("README-0.bmp"));
    EXPECT_TRUE(output.exists("app-0.ico"));
    EXPECT_FALSE(output.exists("app-1.ico"));
}

// The stem drops the extension the file list sees: a dot followed by a "\" or
// ":" does not start one, so such a name is used whole.
TEST(IconStem, DropsTheExtensionOfTheFileListsRule) {
    const std::pair<const char*, const char*> cases[] = {
        {"setup.exe", "out/setup"}, {"a.tar.exe", "out/a.tar"},       {"README", "out/README"},
        {".profile", "out/"},       {"v1.2:final", "out/v1.2:final"}, {"a.b\\c", "out/a.b\\c"},
        {"d:x.ICO", "out/d:x"},
    };
    for (const auto& [name, stem] : cases) {
        EXPECT_EQ(iconStem("out/", name), stem) << name;
    }
}

TEST_F(IconExtractionTest, TheIconFormatNoticeFollowsOnlyAnOkAnswer) {
    display.writeBytes("tool.exe", peFile({{cornerIcon()}}));
    prompter.answers = {false};
    EXPECT_EQ(run("tool.exe", 0), IconExtractResult::Cancelled);
    EXPECT_EQ(prompter.boxes.size(), 1u);
    EXPECT_EQ(previews, 0);
    EXPECT_TRUE(std::filesystem::is_empty(output.path()));

    prompter.boxes.clear();
    EXPECT_EQ(run("tool.exe", 0), IconExtractResult::Written);
    ASSERT_EQ(prompter.boxes.size(), 2u);
    EXPECT_FALSE(prompter.boxes[1].question);
    EXPECT_EQ(prompter.boxes[1].text, kSixteenColors);
    EXPECT_EQ(prompter.boxes[1].caption, kCaption);

    ScriptedPrompter change;
    noticeIconFormat(1, change, kCaption);
    noticeIconFormat(2, change, kCaption);
    EXPECT_TRUE(change.boxes.empty());
    noticeIconFormat(0, change, kCaption);
    ASSERT_EQ(change.boxes.size(), 1u);
    EXPECT_EQ(change.boxes[0].text, kSixteenColors);
}

TEST_F(IconExtractionTest, OutputIntoTheDisplayFolderReReadsTheList) {
    display.writeBytes("tool.exe", peFile({{cornerIcon()}, {cornerIcon()}}));
    run("tool.exe", 1, display.path());
    EXPECT_EQ(list.refreshedWith, std::vector<std::string>{"tool.exe"});
    EXPECT_EQ(previews, 0);
    EXPECT_TRUE(display.exists("tool-1.bmp"));
}

TEST_F(IconExtractionTest, AnOutputFolderThatIsGoneIsReported) {
    display.writeBytes("tool.exe", peFile({{cornerIcon()}}));
    try {
        run("tool.exe", 1, output.path() + "gone/");
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.kind(), kind::FCreate);
    }
    EXPECT_TRUE(busy.ended);
    EXPECT_EQ(previews, 1);
}

TEST(IconWriters, WritesA16ColourIconThatReadsBackAsItsNearestColours) {
    const IconImage icon = IconSource::fromBytes(peFile({{cornerIcon()}})).icon(0);
    const Bytes ico = encodeIco16(icon);
    ASSERT_EQ(ico.size(), 766u);
    const std::pair<std::size_t, std::uint32_t> fields16[] = {
        {0, 0}, {2, 1}, {4, 1}, {10, 0}, {12, 0}, {22 + 12, 1}, {22 + 14, 4}};
    for (const auto& [at, value] : fields16) {
        EXPECT_EQ(get16(ico, at), value) << at;
    }
    EXPECT_EQ(ico[6], 32);
    EXPECT_EQ(ico[7], 32);
    EXPECT_EQ(ico[8], 4);
    EXPECT_EQ(ico[9], 0);
    const std::pair<std::size_t, std::uint32_t> fields32[] = {{14, 744},
                                                              {18, 22},
                                                              {22, 40},
                                                              {22 + 4, 32},
                                                              {22 + 8, 64},
                                                              {22 + 16, 0},
                                                              {22 + 20, 512},
                                                              {22 + 24, 0},
                                                              {22 + 28, 0},
                                                              {22 + 32, 16},
                                                              {22 + 36, 0},
                                                              {62 + 9 * 4, 0x00FF0000},
                                                              {62 + 12 * 4, 0x000000FF}};
    for (const auto& [at, value] : fields32) {
        EXPECT_EQ(get32(ico, at), value) << at;
    }
    // The mask's bottom row comes first: the top-left corner is in the last row.
    EXPECT_EQ(ico[126 + 512 + 31 * 4], 0xF0);
    EXPECT_EQ(ico[126 + 512], 0x00);

    ScratchFolder dir;
    dir.writeBytes("back.ico", ico);
    const RgbaImage back = loadIconFileImage(dir.path() + "back.ico");
    EXPECT_EQ(back.at(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(back.at(8, 8), 0xFFFF0000u);   // 0xF01010 -> red
    EXPECT_EQ(back.at(20, 20), 0xFF0000FFu); // 0x1020E0 -> blue
}

TEST(IconWriters, NearestColourOfTheStandardPalette) {
    const std::pair<std::uint32_t, int> cases[] = {
        {0x000000, 0}, {0xFFFFFF, 15}, {0x7F7F7F, 8}, {0xA0A0A0, 7},
        {0xC8C8C8, 7}, {0x900000, 1},  {0xF01010, 9}, {0x00FFF0, 14},
    };
    for (const auto& [rgb, index] : cases) {
        EXPECT_EQ(nearestStandardColor(rgb), index) << std::hex << rgb;
    }
}

TEST(IconWriters, TheTransparentCornerIsWhiteInTheBitmap) {
    const IconImage icon = IconSource::fromBytes(peFile({{cornerIcon()}})).icon(0);
    const Bytes bmp = encodeIconPicture(icon, IconFormat::Bmp);
    ASSERT_EQ(bmp.size(), 54u + 32 * 32 * 4);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(get32(bmp, 2), bmp.size());
    EXPECT_EQ(get32(bmp, 10), 54u);
    EXPECT_EQ(get32(bmp, 14), 40u);
    EXPECT_EQ(get32(bmp, 18), 32u);
    EXPECT_EQ(get32(bmp, 22), 32u); // positive: bottom up
    EXPECT_EQ(get16(bmp, 28), 32u);
    // The top row is the last one in the file; its first pixel is blue,
    // green, red = 255.
    const std::size_t topLeft = 54 + 31 * 32 * 4;
    EXPECT_EQ(get32(bmp, topLeft) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(get32(bmp, topLeft + 8 * 4) & 0xFFFFFF, 0xF01010u);
    EXPECT_EQ(get32(bmp, 54) & 0xFFFFFF, 0xF01010u); // bottom-left
}

TEST(IconWriters, TheJpegIsABaselineColourPictureOnWhite) {
    const IconImage icon = IconSource::fromBytes(peFile({{cornerIcon()}})).icon(0);
    const Bytes jpeg = encodeIconPicture(icon, IconFormat::Jpeg);
    bool baseline = false;
    bool progressive = false;
    for (std::size_t i = 0; i + 1 < jpeg.size(); ++i) {
        baseline = baseline || (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0);
        progressive = progressive || (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC2);
    }
    EXPECT_TRUE(baseline);
    EXPECT_FALSE(progressive);

    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, jpeg.data(), jpeg.size());
    jpeg_read_header(&cinfo, TRUE);
    EXPECT_EQ(cinfo.num_components, 3);
    jpeg_start_decompress(&cinfo);
    std::vector<std::uint8_t> rows(32 * 32 * 3);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = rows.data() + cinfo.output_scanline * 32 * 3;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    for (int c = 0; c < 3; ++c) {
        EXPECT_GE(rows[(1 * 32 + 1) * 3 + c], 235) << c; // inside the white corner
    }
    EXPECT_GE(rows[(20 * 32 + 8) * 3], 200); // red
    EXPECT_LE(rows[(20 * 32 + 8) * 3 + 2], 60);
}

} // namespace
} // namespace harpoly
