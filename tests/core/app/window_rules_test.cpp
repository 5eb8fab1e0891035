#include "core/app/window_rules.h"

#include <gtest/gtest.h>

namespace harpoly {

TEST(BoxBarWidths, KeepDesignWidthWhileItFits) {
    struct Case {
        int box, progress, track;
    };
    const Case cases[] = {
        {250, 230, 130}, {319, 299, 199}, {320, 300, 200}, {400, 300, 280}, {419, 300, 299},
        {420, 300, 300}, {500, 300, 300}, {10, 0, 0}, // narrower than the margins: clamped, never
                                                      // negative
    };
    for (const auto& c : cases) {
        const auto w = boxBarWidths(c.box);
        EXPECT_EQ(w.progress, c.progress) << c.box;
        EXPECT_EQ(w.track, c.track) << c.box;
    }
}

TEST(FolderLine, ShowsBackslashesAsSlashesAndKeepsBlanks) {
    EXPECT_EQ(displayFolderLine("D:\\My Pictures\\"), " 表示フォルダ = D:/My Pictures/");
    EXPECT_EQ(displayFolderLine("/home/u/写真/"), " 表示フォルダ = /home/u/写真/");
    EXPECT_EQ(outputFolderLine("/tmp/out/"), " 出力フォルダ = /tmp/out/");
}

// Each name of the path is shown as the file list shows names: a CP932 name
// decoded (表 ends in the byte of a backslash, which stays part of it), a
// name that is neither UTF-8 nor CP932 with replacement characters.
TEST(FolderLine, ShowsEachNameDecoded) {
    EXPECT_EQ(displayFolderLine("/home/写真/\x95\x5C\x8E\xA6/"),
              " 表示フォルダ = /home/写真/表示/");
    EXPECT_EQ(outputFolderLine("/a\xFF/b/"), " 出力フォルダ = /a\uFFFD/b/");
}

TEST(ChosenFolder, AppendsSlashUnlessPresent) {
    EXPECT_EQ(chosenFolder("/home/u/Photos"), "/home/u/Photos/");
    EXPECT_EQ(chosenFolder("/"), "/");
    EXPECT_EQ(chosenFolder(""), "/");
}

TEST(StartupErrorText, AppendsDotAfterLettersOnly) {
    EXPECT_EQ(startupErrorText(""), "");
    EXPECT_EQ(startupErrorText("Out of memory"), "Out of memory.");
    EXPECT_EQ(startupErrorText("done."), "done.");
    EXPECT_EQ(startupErrorText("bad (x)"), "bad (x)"); // ')' sorts before '.'
    EXPECT_EQ(startupErrorText("失敗"), "失敗.");      // lead bytes sort after '.'
}

} // namespace harpoly
