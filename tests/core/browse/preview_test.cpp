#include "core/app/error_text.h"
#include "core/browse/preview.h"
#include "core/browse/text_loader.h"
#include "core/errors.h"
#include "core/imaging/fit_rect.h"
#include "core/imaging/picture_loader.h"
#include "imaging/test_pictures.h" // tests/core
#include "platform/scratch_folder.h"

#include <gtest/gtest.h>

namespace harpoly {
namespace {

using preview_testing::writeFile;
using test::ScratchFolder;

CategoryLists defaultLists() {
    return {{"txt", "htm", "html", "php", "bat", "ini", "asx", "smil", "css"},
            {"mpg", "mpeg", "wmv", "asf", "avi"},
            {"jpg", "jpeg", "bmp", "ico"}};
}

TEST(PreviewKind, LaterListsOverrideEarlierOnesAndIcoIsAlwaysAnIcon) {
    CategoryLists lists = defaultLists();
    lists.media.push_back("asx"); // also a text entry: media wins
    lists.text.push_back("ico");  // an icon whatever the lists say
    lists.image.push_back("md");
    lists.text.push_back("md"); // the image list comes last
    const std::pair<const char*, PreviewKind> cases[] = {
        {".txt", PreviewKind::Text},  {".asx", PreviewKind::Media}, {".ico", PreviewKind::Icon},
        {".jpg", PreviewKind::Image}, {".md", PreviewKind::Image},  {".wmv", PreviewKind::Media},
        {".png", PreviewKind::Other}, {"", PreviewKind::Other},     {".", PreviewKind::Other},
        {"txt", PreviewKind::Other},  {".tx", PreviewKind::Other},  {".txtx", PreviewKind::Other},
    };
    for (const auto& [ext, kind] : cases) {
        EXPECT_EQ(classifyFile(ext, lists), kind) << ext;
    }
    // The extension comes lower-cased; an entry in upper case never meets it.
    EXPECT_EQ(classifyFile(".jpg", CategoryLists{{}, {}, {"JPG"}}), PreviewKind::Other);
    EXPECT_EQ(classifyFile(".ico", CategoryLists{}), PreviewKind::Icon);
}

TEST(PreviewInfo, SizeTextUsesDecimalUnitsTruncated) {
    const std::pair<std::uint64_t, const char*> cases[] = {
        {0, " サイズ 0KB"},
        {999, " サイズ 0KB"},
        {123456, " サイズ 123KB"},
        {999999, " サイズ 999KB"},
        {1000000, " サイズ 1.00MB"},
        {1009999, " サイズ 1.00MB"},
        {1010000, " サイズ 1.01MB"},
        {1050000, " サイズ 1.05MB"},
        {2345678, " サイズ 2.34MB"},
        {999999999, " サイズ 999.99MB"},
        {5000000000ull, " サイズ 5000.00MB"}, // beyond 32 bits, still exact
    };
    for (const auto& [bytes, text] : cases) {
        EXPECT_EQ(sizeText(bytes), text) << bytes;
    }
}

TEST(PreviewInfo, LinesOfEachKindAreBuiltWithTheirBlanks) {
    EXPECT_EQ(pictureInfoLine(1024, 768, " サイズ 245KB"), " 幅 1024  高さ 768  サイズ 245KB");
    EXPECT_EQ(mediaInfoLine(640, 480, " サイズ 1.23MB", 185000),
              " 幅 640  高さ 480  サイズ 1.23MB  時間 03:05");
    EXPECT_EQ(otherInfoLine(" サイズ 3KB"), " サイズ 3KB  このファイルはプレビュー出来ません");
    const std::pair<std::int64_t, const char*> times[] = {
        {0, "00:00"}, {999, "00:00"}, {65432, "01:05"}, {3725000, "62:05"}, {-5, "00:00"}};
    for (const auto& [ms, text] : times) {
        EXPECT_EQ(playTimeText(ms), text) << ms;
    }
}

TEST(PreviewPlan, DecidesWhatToShowAndWhatToWrite) {
    const CategoryLists lists = defaultLists();
    struct Case {
        std::optional<std::string> name;
        bool previewOff;
        PreviewShow show;
        const char* infoLine;
    };
    const Case cases[] = {
        {std::nullopt, false, PreviewShow::Nothing, " ファイルが指定されていません"},
        {std::nullopt, true, PreviewShow::Nothing, " ファイルが指定されていません"},
        {"Photo.JPG", true, PreviewShow::Nothing, " サイズ 3KB"},
        {"notes.TXT", false, PreviewShow::Text, " サイズ 3KB"},
        {"Photo.JPG", false, PreviewShow::Image, ""},
        {"app.ico", false, PreviewShow::Icon, ""},
        {"clip.avi", false, PreviewShow::Media, ""},
        {"data.bin", false, PreviewShow::Nothing,
         " サイズ 3KB  このファイルはプレビュー出来ません"},
        {"README", false, PreviewShow::Nothing, " サイズ 3KB  このファイルはプレビュー出来ません"},
    };
    for (const Case& c : cases) {
        const PreviewPlan plan = planPreview("/pics/", c.name, c.previewOff, lists, 3500);
        const std::string label = c.name.value_or("(none)");
        EXPECT_EQ(plan.show, c.show) << label;
        EXPECT_EQ(plan.infoLine, c.infoLine) << label;
        EXPECT_EQ(plan.fileChosen, c.name.has_value()) << label;
        if (c.name) {
            EXPECT_EQ(plan.path, "/pics/" + *c.name);
            EXPECT_EQ(plan.sizeText, " サイズ 3KB");
            EXPECT_EQ(plan.fullScreenNameText, " " + *c.name);
        }
    }
}

TEST(PreviewPlan, TakesTheSizeFromTheFileSystem) {
    ScratchFolder dir;
    writeFile(dir.path() + "a.txt", std::string(1010000, 'x'));
    const PreviewPlan plan = planPreview(dir.path(), "a.txt", false, defaultLists());
    EXPECT_EQ(plan.infoLine, " サイズ 1.01MB");
    // A file that vanished after the list was read is described as empty; its
    // load then fails and the error is reported instead.
    const PreviewPlan gone = planPreview(dir.path(), "gone.txt", false, defaultLists());
    EXPECT_EQ(gone.infoLine, " サイズ 0KB");
    EXPECT_THROW(TextLoader{gone.path}, Error);
}

// The window's preview step for a picture, as it calls the core.
std::string pictureLine(const PreviewPlan& plan) {
    const DecodedPicture pic = loadPreviewPicture(plan.path, plan.extLower, 400, 300);
    return pictureInfoLine(pic.width, pic.height, plan.sizeText);
}

TEST(PreviewPlan, InformationLineOfEachKindForRealFiles) {
    ScratchFolder dir;
    preview_testing::JpegSpec jpeg;
    jpeg.width = 640;
    jpeg.height = 480;
    writeFile(dir.path() + "photo.JPG", preview_testing::makeJpeg(jpeg));
    preview_testing::BmpSpec bmp;
    bmp.width = 40;
    bmp.height = 30;
    writeFile(dir.path() + "pic.bmp",
              preview_testing::makeBmp(bmp, [](int, int) -> std::uint32_t { return 0x336699; }));
    writeFile(dir.path() + "notes.txt", std::string(2500, 'a'));
    writeFile(dir.path() + "doc.htm", std::string("{\\rtf1\\ansi {\\b Hi}\\par}"));
    writeFile(dir.path() + "data.bin", std::string(3000, '\0'));
    const CategoryLists lists = defaultLists();
    const auto plan = [&](const char* name) { return planPreview(dir.path(), name, false, lists); };

    const PreviewPlan photo = plan("photo.JPG");
    ASSERT_EQ(photo.show, PreviewShow::Image);
    const std::string photoSize = photo.sizeText;
    EXPECT_EQ(pictureLine(photo), " 幅 640  高さ 480" + std::string(" ") + photoSize);

    const PreviewPlan pic = plan("pic.bmp");
    ASSERT_EQ(pic.show, PreviewShow::Image);
    EXPECT_EQ(pictureLine(pic), " 幅 40  高さ 30  サイズ 3KB"); // 54 + 30 rows of 120 bytes

    const PreviewPlan notes = plan("notes.txt");
    EXPECT_EQ(notes.show, PreviewShow::Text);
    EXPECT_EQ(notes.infoLine, " サイズ 2KB");
    TextLoader text(notes.path);
    EXPECT_FALSE(text.rich());
    EXPECT_EQ(text.nextText(1 << 16).size(), 2500u);

    const PreviewPlan doc = plan("doc.htm");
    EXPECT_EQ(doc.show, PreviewShow::Text);
    EXPECT_EQ(doc.infoLine, " サイズ 0KB");
    const TextLoader rich(doc.path);
    EXPECT_TRUE(rich.rich());
    EXPECT_EQ(rich.document().plainText(), "Hi");

    EXPECT_EQ(plan("data.bin").infoLine, " サイズ 3KB  このファイルはプレビュー出来ません");

    // An empty folder: the list is empty, nothing is chosen.
    EXPECT_EQ(planPreview(dir.path(), std::nullopt, false, lists).infoLine,
              " ファイルが指定されていません");
}

TEST(PreviewPlan, PicturesOutsideTheKnownFormatsAreInvalidGraphics) {
    ScratchFolder dir;
    writeFile(dir.path() + "a.wmf", std::string(100, 'x'));
    writeFile(dir.path() + "a.png", std::string("\x89PNG\r\n\x1a\n", 8));
    for (const char* name : {"a.wmf", "a.png"}) {
        const std::string path = dir.path() + name;
        try {
            loadPreviewPicture(path, std::string(name).substr(1));
            ADD_FAILURE() << name << " loaded";
        } catch (const Error& e) {
            EXPECT_EQ(e.kind(), kind::InvalidGraphic) << name;
            EXPECT_EQ(errorInfoLine(e.kind()), " エラーが発生しました。 ( 不正な画像データ )");
        }
    }
}

TEST(FitRule, ShrinksLargePicturesKeepingTheAspectAndCentres) {
    struct Case {
        int w, h, cw, ch;
        DrawRect rect;
    };
    const Case cases[] = {
        // Fits: own size, centred.
        {100, 50, 400, 300, {150, 125, 100, 50}},
        {400, 300, 400, 300, {0, 0, 400, 300}},
        {16, 16, 401, 301, {192, 142, 16, 16}},
        // Wider than high: width first, height truncated.
        {800, 300, 400, 300, {0, 75, 400, 150}},
        {1000, 333, 400, 300, {0, 83, 400, 133}},
        // ... and then limited by the height.
        {800, 700, 400, 300, {29, 0, 342, 300}},
        {6000, 4000, 1000, 700, {0, 17, 1000, 666}},
        // Not wider than high: height first.
        {300, 900, 400, 300, {150, 0, 100, 300}},
        {500, 500, 400, 300, {50, 0, 300, 300}},
        // ... and then limited by the width.
        {700, 800, 300, 600, {0, 129, 300, 342}},
        // Only one side too large.
        {500, 100, 400, 300, {0, 110, 400, 80}},
        {100, 500, 400, 300, {170, 0, 60, 300}},
        // Degenerate pictures and boxes.
        {0, 10, 400, 300, {0, 0, 0, 0}},
        {10, 10, 0, 0, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(pictureRect(c.w, c.h, c.cw, c.ch), c.rect)
            << c.w << "x" << c.h << " in " << c.cw << "x" << c.ch;
    }
}

TEST(FitRule, NaturalSizeSitsAtTheTopLeft) {
    EXPECT_EQ(pictureRect(2000, 1000, 400, 300, PictureMode::Natural),
              (DrawRect{0, 0, 2000, 1000}));
    EXPECT_EQ(pictureRect(20, 10, 400, 300, PictureMode::Natural), (DrawRect{0, 0, 20, 10}));
}

} // namespace
} // namespace harpoly
