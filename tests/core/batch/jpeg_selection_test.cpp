#include "core/batch/jpeg_selection.h"
#include "batch_fakes.h"
#include "core/errors.h"
#include "file_helpers.h"
#include "jpeg_fixtures.h"
#include "core/platform/code_page.h"
#include "core/platform/file_move.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace harpoly {
namespace {

using namespace harpoly::testing;
using Names = std::set<std::string>;

const std::string& picture640x480() {
    static const std::string jpeg = encodeJpeg(640, 480);
    return jpeg;
}

std::size_t frameHeaderAt(const std::string& jpeg) {
    return jpeg.find("\xFF\xC0");
}

TEST(JpegSizeReader, ReadsTheFramesOwnSize) {
    const std::string exifWithThumbnail =
        segment(0xE1, std::string("Exif\0\0", 6) + "MM\0*" + encodeJpeg(160, 120));
    std::string manySegments;
    for (int i = 0; i < 3; ++i) { // 180 KB of other segments before the frame header
        manySegments += segment(0xE2, std::string(60000, static_cast<char>('a' + i)));
    }
    const std::string& full = picture640x480();
    struct Case {
        const char* what;
        std::string content;
        int width, height;
    };
    const Case cases[] = {
        {"plain", full, 640, 480},
        {"frame header after 180 KB", withSegmentsAfterSoi(encodeJpeg(64, 48), manySegments), 64,
         48},
        {"EXIF thumbnail with its own frame header",
         withSegmentsAfterSoi(encodeJpeg(320, 240), exifWithThumbnail), 320, 240},
        {"picture data cut short (only the header is read)", full.substr(0, full.size() / 2), 640,
         480},
        {"empty file", "", 0, 0},
    };
    TempFolder dir;
    JpegSizeReader reader;
    for (const auto& c : cases) {
        writeFile(dir / "p.jpg", c.content);
        const PixelSize size = reader.read(dir / "p.jpg");
        EXPECT_EQ(size.width, c.width) << c.what;
        EXPECT_EQ(size.height, c.height) << c.what;
    }
}

TEST(JpegSizeReader, BadFilesRaiseTheirKindAndTheReaderGoesOn) {
    const std::string& full = picture640x480();
    struct Case {
        const char* what;
        std::optional<std::string> content; // none: no such file
        std::string kind;
    };
    const Case cases[] = {
        {"text", std::string("hello, not a picture"), kind::JPEG},
        {"PNG", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), kind::JPEG},
        {"one byte", std::string("\xFF"), kind::JPEG},
        {"cut before the frame header", full.substr(0, frameHeaderAt(full)), kind::JPEG},
        {"cut inside the frame header", full.substr(0, frameHeaderAt(full) + 6), kind::JPEG},
        {"missing", std::nullopt, kind::FOpen},
    };
    TempFolder dir;
    JpegSizeReader reader;
    for (const auto& c : cases) {
        ::unlink((dir / "p.jpg").c_str());
        if (c.content) {
            writeFile(dir / "p.jpg", *c.content);
        }
        try {
            reader.read(dir / "p.jpg");
            ADD_FAILURE() << c.what << ": no error";
        } catch (const Error& e) {
            EXPECT_EQ(e.kind(), c.kind) << c.what;
        }
        writeFile(dir / "ok.jpg", full);
        EXPECT_EQ(reader.read(dir / "ok.jpg").width, 640) << "after " << c.what;
    }
    ASSERT_EQ(::mkdir((dir / "folder.jpg").c_str(), 0755), 0);
    EXPECT_THROW(reader.read(dir / "folder.jpg"), Error);
}

TEST(JpegSizeCondition, ComparisonsJoinsAndAreas) {
    const PixelSize vga{640, 480};
    using C = JpegSizeCondition;
    struct Case {
        const char* what;
        C condition;
        PixelSize size;
        bool matches;
    };
    const Case cases[] = {
        {"w>=800 and h<=480", C::widthAndHeight(0, 800, 0, 2, 480), vga, false},
        {"w>=800 or h<=480", C::widthAndHeight(0, 800, 1, 2, 480), vga, true},
        {"w==640 and h>=0", C::widthAndHeight(1, 640, 0, 0, 0), vga, true},
        {"start-up settings", C::widthAndHeight(0, 0, 0, 0, 0), {0, 0}, true},
        {"empty file, w>=1", C::widthAndHeight(0, 1, 0, 0, 0), {0, 0}, false},
        {"no comparison chosen", C::widthAndHeight(-1, 0, 1, -1, 0), vga, false},
        {"area == 640*480", C::area(1, 307200), vga, true},
        {"area <= 307199", C::area(2, 307199), vga, false},
        // 50000 x 50000 is 2.5e9, beyond 32 bits: it compares as its true area.
        {"huge area >= max", C::area(0, INT32_MAX), {50000, 50000}, true},
        {"huge area <= max", C::area(2, INT32_MAX), {50000, 50000}, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.condition.matches(c.size), c.matches) << c.what;
    }
}

// A display and an output folder with the fakes around the walk.
class JpegSelectionTest : public ::testing::Test {
protected:
    void listFiles(const std::vector<std::pair<std::string, std::string>>& files, int current = 0) {
        std::vector<ListEntry> entries;
        for (const auto& [name, content] : files) {
            writeFile(display / name, content);
            entries.push_back({name, false});
        }
        list = FakeFileList(entries, current);
    }
    BatchPorts ports() {
        return {list, prompter, busy,
                [](const std::string& from, const std::string& to) {
                    return moveFileNoReplace(from, to);
                },
                utf8CodePage()};
    }
    bool run(const JpegSizeCondition& c, const std::string& out = {}) {
        return selectJpegsBySize(ports(), display.path(), out.empty() ? output.path() : out,
                                 "JPG選別1", c);
    }

    TempFolder display, output;
    FakeFileList list;
    FakePrompter prompter;
    FakeBusy busy;
    const JpegSizeCondition startup = JpegSizeCondition::widthAndHeight(0, 0, 0, 0, 0);
};

TEST_F(JpegSelectionTest, ExaminesEveryItemWithAJpgOrJpegNameOnly) {
    const std::string& jpeg = picture640x480();
    listFiles({{"b.jpeg", jpeg},
               {"c.jpe", jpeg},
               {"d.jfif", jpeg},
               {"e.png", jpeg},
               {"notes.txt", "x"},
               {"PHOTO.JPG", jpeg},
               {"x.jpg", ""}},
              5);
    ASSERT_TRUE(run(startup));
    ASSERT_EQ(prompter.asked.size(), 1u); // asked with nothing selected
    EXPECT_EQ(prompter.asked[0].question, "出力フォルダに対象ファイルを移動しますか?");
    EXPECT_EQ(prompter.asked[0].caption, "JPG選別1");
    EXPECT_EQ(namesIn(output.path()), (Names{"PHOTO.JPG", "b.jpeg", "x.jpg"}));
    EXPECT_EQ(namesIn(display.path()), (Names{"c.jpe", "d.jfif", "e.png", "notes.txt"}));
    EXPECT_EQ(readFile(output / "PHOTO.JPG"), jpeg);
    EXPECT_EQ(busy.range, 7);
    EXPECT_EQ(busy.steps, 7);
    EXPECT_EQ(busy.ended, 1);
    EXPECT_EQ(list.refreshedWith, std::vector<std::string>{"PHOTO.JPG"});
}

TEST_F(JpegSelectionTest, MovesOnlyWhatMatches) {
    listFiles({{"big.jpg", picture640x480()}, {"small.jpg", encodeJpeg(32, 24)}, {"x.jpg", ""}});
    run(JpegSizeCondition::widthAndHeight(0, 1, 0, 0, 0)); // width at least 1
    EXPECT_EQ(namesIn(output.path()), (Names{"big.jpg", "small.jpg"}));
    EXPECT_EQ(namesIn(display.path()), Names{"x.jpg"});
}

TEST_F(JpegSelectionTest, CancelExaminesNothing) {
    listFiles({{"a.jpg", "not a jpeg at all"}});
    prompter.answer = false;
    EXPECT_FALSE(run(startup));
    EXPECT_EQ(busy.begun, 0);
    EXPECT_TRUE(list.refreshedWith.empty());
}

TEST_F(JpegSelectionTest, ABadFileEndsTheRunAfterTheEarlierMoves) {
    struct Case {
        const char* what;
        std::optional<std::string> content;
        std::string kind;
    };
    const Case cases[] = {
        {"not a JPEG", std::string("GIF89a..."), kind::JPEG},
        {"vanished after listing", std::nullopt, kind::FOpen},
    };
    for (const auto& c : cases) {
        TempFolder in, out;
        writeFile(in / "a.jpg", picture640x480());
        if (c.content) {
            writeFile(in / "b.jpg", *c.content);
        }
        writeFile(in / "c.jpg", picture640x480());
        FakeFileList files({{"a.jpg", false}, {"b.jpg", false}, {"c.jpg", false}}, 2);
        FakePrompter asks;
        FakeBusy bar;
        try {
            selectJpegsBySize({files, asks, bar, moveFileNoReplace, utf8CodePage()}, in.path(),
                              out.path(), "JPG選別1", startup);
            ADD_FAILURE() << c.what << ": no error";
        } catch (const Error& e) {
            EXPECT_EQ(e.kind(), c.kind) << c.what;
        }
        EXPECT_EQ(namesIn(out.path()), Names{"a.jpg"}) << c.what;
        EXPECT_TRUE(namesIn(in.path()).count("c.jpg")) << c.what; // never examined
        EXPECT_EQ(bar.steps, 1) << c.what;
        // The bar is put away and the list shows what was moved.
        EXPECT_EQ(bar.ended, 1) << c.what;
        EXPECT_EQ(files.refreshedWith, std::vector<std::string>{"c.jpg"}) << c.what;
    }
}

TEST_F(JpegSelectionTest, ANameTakenInTheOutputFolderStaysAndTheRunGoesOn) {
    listFiles({{"a.jpg", picture640x480()}, {"b.jpg", picture640x480()}});
    writeFile(output / "a.jpg", "already here");
    run(startup);
    EXPECT_EQ(readFile(output / "a.jpg"), "already here");
    EXPECT_EQ(namesIn(display.path()), Names{"a.jpg"});
    EXPECT_EQ(namesIn(output.path()), (Names{"a.jpg", "b.jpg"}));
}

TEST_F(JpegSelectionTest, OutputFolderGoneOrSameAsDisplayMovesNothing) {
    listFiles({{"a.jpg", picture640x480()}, {"b.jpg", ""}});
    EXPECT_TRUE(run(startup, output / "gone/"));
    EXPECT_TRUE(run(startup, display.path()));
    EXPECT_EQ(namesIn(display.path()), (Names{"a.jpg", "b.jpg"}));
    EXPECT_EQ(busy.steps, 4);
}

} // namespace
} // namespace harpoly
