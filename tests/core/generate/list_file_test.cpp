#include "core/errors.h"
#include "generate/generate_fakes.h"
#include "core/generate/list_file.h"
#include "core/generate/list_format.h"
#include "platform/scratch_folder.h"

#include <gtest/gtest.h>

namespace harpoly {
namespace {

using generate_test::FakeFileList;
using generate_test::ScriptedPrompter;
using test::ScratchFolder;

const char* const kSeed = "[Ext]\r\n"
                          "Ext=txt,htm,html,php,bat,ini,asx,smil,css,mpg,mpeg,wmv,asf,avi,jpg,"
                          "jpeg,bmp,gif,png,rm,ram,ico\r\n"
                          "Txt=txt,htm,html,php,bat,ini,asx,smil,css\r\n"
                          "WM=mpg,mpeg,wmv,asf,avi\r\n"
                          "Img=jpg,jpeg,bmp,ico\r\n"
                          "Web=jpg,jpeg,bmp,gif,png\r\n"
                          "Real=rm,ram\r\n";

const char* const kKindText[] = {"リンク(html)", "アルバム(html)", "メタファイル(asx)",
                                 "メタファイル(smil)"};

class ListFileTest : public ::testing::Test {
protected:
    ScratchFolder display;
    ScratchFolder program;
    FakeFileList list;
    ScriptedPrompter prompter;
    int previews = 0;

    void SetUp() override { program.write("harpoly.ini", kSeed); }

    ListFileResult run(int kind, const std::string& typed = {}) {
        ListFileRequest r;
        r.typedName = typed;
        r.kindIndex = kind;
        r.kindText = kKindText[kind];
        r.caption = "リンク作成";
        r.displayFolder = display.path();
        r.settingsPath = program.path() + "harpoly.ini";
        return makeListFile(r, list, prompter, [this] { ++previews; });
    }
};

// The four formats of the worked examples, byte for byte. In UTF-8 the
// titles リンク and アルバム take 9 and 12 bytes (6 and 8 in Shift-JIS), so
// the pages are 139 and 221 bytes; the playlists are ASCII and keep their
// sizes of 100 and 92 bytes.
TEST_F(ListFileTest, WritesTheWorkedExamplesByteForByte) {
    struct Case {
        int kind;
        std::vector<std::string> names;
        std::string typed;
        std::string question;
        std::string file;
        std::string bytes;
    };
    const Case cases[] = {
        {0,
         {"memo.txt", "photo.JPG"},
         "",
         "リンク(html)を作成ますか? (ファイル名:index.html)",
         "index.html",
         "<html><head><title>リンク</title></head>\r\n<body>\r\n"
         "<p><A href=memo.txt>memo.txt</A>\r\n<p><A href=photo.JPG>photo.JPG</A>\r\n"
         "</body></html>\r\n"},
        {1,
         {"memo.txt", "photo.JPG", "scan.png"},
         "album",
         "アルバム(html)を作成ますか? (ファイル名:album.html)",
         "album.html",
         "<html><head><title>アルバム</title></head>\r\n"
         "<body><center><table border=2 cellpadding=12>\r\n"
         "<tr><td align=center><img src=\"photo.JPG\"></td></tr>\r\n"
         "<tr><td align=center><img src=\"scan.png\"></td></tr>\r\n</table></center>\r\n"},
        {2,
         {"clip1.wmv", "clip2.MPG", "memo.txt"},
         "",
         "メタファイル(asx)を作成ますか? (ファイル名:index.asx)",
         "index.asx",
         " \r\n<asx>\r\n<ENTRY><REF HREF=\"clip1.wmv\" /></ENTRY>\r\n"
         "<ENTRY><REF HREF=\"clip2.MPG\" /></ENTRY>\r\n</ASX>\r\n"},
        {3,
         {"live.ram", "talk.rm"},
         "radio",
         "メタファイル(smil)を作成ますか? (ファイル名:radio.smil)",
         "radio.smil",
         "<smil>\r\n<body><seq>\r\n<video src=\"live.ram\"/>\r\n<video src=\"talk.rm\"/>\r\n"
         "</seq></body></smil>\r\n"},
    };
    const std::size_t sizes[] = {136 + 3, 217 + 4, 100, 92};
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.file);
        list.names = c.names;
        list.current = 1;
        list.refreshedWith.clear();
        prompter.boxes.clear();
        EXPECT_EQ(run(c.kind, c.typed), ListFileResult::Written);
        ASSERT_EQ(prompter.boxes.size(), 1u);
        EXPECT_TRUE(prompter.boxes[0].question);
        EXPECT_EQ(prompter.boxes[0].text, c.question);
        EXPECT_EQ(prompter.boxes[0].caption, "リンク作成");
        EXPECT_EQ(display.read(c.file), c.bytes);
        EXPECT_EQ(display.read(c.file).size(), sizes[i]);
        EXPECT_EQ(list.refreshedWith, std::vector<std::string>{c.names[1]});
    }
    EXPECT_EQ(previews, 0);
}

TEST_F(ListFileTest, NothingToListGivesTheNoticeForEveryKind) {
    for (int kind = 0; kind < 4; ++kind) {
        SCOPED_TRACE(kind);
        prompter.boxes.clear();
        EXPECT_EQ(run(kind), ListFileResult::NothingListed);
        ASSERT_EQ(prompter.boxes.size(), 1u);
        EXPECT_FALSE(prompter.boxes[0].question);
        EXPECT_EQ(prompter.boxes[0].text, "対象ファイルはありませんでした");
        EXPECT_EQ(prompter.boxes[0].caption, "リンク作成");
    }
    EXPECT_EQ(previews, 4);
    EXPECT_TRUE(list.refreshedWith.empty());
    EXPECT_TRUE(std::filesystem::is_empty(display.path()));
}

TEST_F(ListFileTest, ReadsTheExtensionListAfreshOnEveryClick) {
    list.names = {"photo.JPG", "dot.", "README"};
    // Upper-case entries never match the lower-cased extension.
    program.write("harpoly.ini", "[Ext]\r\nWeb=JPG,PNG\r\n");
    EXPECT_EQ(run(1), ListFileResult::NothingListed);
    // A trailing comma gives an empty entry, which matches a name ending in a dot.
    program.write("harpoly.ini", "[ext]\r\nweb = jpg,\r\n");
    EXPECT_EQ(run(1), ListFileResult::Written);
    EXPECT_EQ(display.read("index.html"),
              "<html><head><title>アルバム</title></head>\r\n"
              "<body><center><table border=2 cellpadding=12>\r\n"
              "<tr><td align=center><img src=\"photo.JPG\"></td></tr>\r\n"
              "<tr><td align=center><img src=\"dot.\"></td></tr>\r\n</table></center>\r\n");
    // No settings file: no entries.
    std::filesystem::remove(program.path() + "harpoly.ini");
    EXPECT_EQ(run(2), ListFileResult::NothingListed);
}

TEST_F(ListFileTest, AlwaysAppendsTheKindsExtension) {
    const std::tuple<std::string, int, std::string> cases[] = {
        {"", 0, "index.html"},   {"list.htm", 0, "list.htm.html"}, {"a.b", 0, "a.b.html"},
        {"list", 2, "list.asx"}, {" x ", 3, " x .smil"},           {"", -1, "index.html"},
    };
    for (const auto& [typed, kind, file] : cases) {
        EXPECT_EQ(listFileName(typed, kind), file);
    }
}

TEST_F(ListFileTest, OverwriteAsksUnderItsOwnCaptionAndCancelKeepsTheOldFile) {
    list.names = {"a.txt"};
    display.write("index.html", "old");
    prompter.answers = {true, false};
    EXPECT_EQ(run(0), ListFileResult::Cancelled);
    ASSERT_EQ(prompter.boxes.size(), 2u);
    EXPECT_EQ(prompter.boxes[1].text, "同一名ファイルが存在しますが上書きしますか");
    EXPECT_EQ(prompter.boxes[1].caption, "上書き確認");
    EXPECT_EQ(display.read("index.html"), "old");
    EXPECT_EQ(previews, 1);
    EXPECT_TRUE(list.refreshedWith.empty());

    prompter.answers = {true, true};
    prompter.boxes.clear();
    EXPECT_EQ(run(0), ListFileResult::Written);
    EXPECT_NE(display.read("index.html"), "old");
}

TEST_F(ListFileTest, CancelOnTheFirstQuestionWritesNothing) {
    list.names = {"a.txt"};
    prompter.answers = {false};
    EXPECT_EQ(run(0), ListFileResult::Cancelled);
    EXPECT_FALSE(display.exists("index.html"));
    EXPECT_EQ(previews, 1);
}

TEST_F(ListFileTest, AFileThatCannotBeCreatedIsReported) {
    list.names = {"a.txt"};
    try {
        run(0, "no-such-folder/x");
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.kind(), kind::FCreate);
    }
    EXPECT_TRUE(list.refreshedWith.empty());
}

// Names that Windows allows go in as their bytes, "&" and blanks included.
// Names holding a character that would break the markup are written with
// character references, and such an href (or one with a blank) is quoted.
TEST(ListFileLine, EscapesOnlyNamesThatWouldBreakTheMarkup) {
    struct Case {
        ListKind kind;
        std::string name;
        std::string line;
    };
    const Case cases[] = {
        {ListKind::Link, "a&b.txt", "<p><A href=a&b.txt>a&b.txt</A>"},
        {ListKind::Link, "写真.jpg", "<p><A href=写真.jpg>写真.jpg</A>"},
        {ListKind::Link, "it's.txt", "<p><A href=it's.txt>it's.txt</A>"},
        {ListKind::Link, "my file.txt", "<p><A href=\"my file.txt\">my file.txt</A>"},
        {ListKind::Link, "a>b.txt", "<p><A href=\"a&gt;b.txt\">a&gt;b.txt</A>"},
        {ListKind::Link, "<script>&.txt",
         "<p><A href=\"&lt;script&gt;&amp;.txt\">&lt;script&gt;&amp;.txt</A>"},
        {ListKind::Link, "tab\there", "<p><A href=\"tab&#9;here\">tab&#9;here</A>"},
        {ListKind::Album, "x\".png", "<tr><td align=center><img src=\"x&quot;.png\"></td></tr>"},
        {ListKind::Album, "a&b.png", "<tr><td align=center><img src=\"a&b.png\"></td></tr>"},
        {ListKind::Asx, "\" onload=\".wmv",
         "<ENTRY><REF HREF=\"&quot; onload=&quot;.wmv\" /></ENTRY>"},
        {ListKind::Smil, "line\nbreak.rm", "<video src=\"line&#10;break.rm\"/>"},
        {ListKind::Smil, "my talk.rm", "<video src=\"my talk.rm\"/>"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(listFileLine(c.kind, c.name), c.line) << c.name;
    }
}

} // namespace
} // namespace harpoly
