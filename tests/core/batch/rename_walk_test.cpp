#include "core/batch/batch_renames.h"
#include "batch_fakes.h"
#include "file_helpers.h"
#include "core/platform/code_page.h"
#include "core/platform/file_move.h"

#include <gtest/gtest.h>

namespace harpoly {
namespace {

using namespace harpoly::testing;
using Names = std::set<std::string>;

// A real folder, a list of its files, and the fakes around the walk.
class RenameWalkTest : public ::testing::Test {
protected:
    // Creates each entry's file (content = its name) and lists them.
    void listFiles(std::vector<ListEntry> entries, int current = 0) {
        for (const auto& e : entries) {
            writeFile(dir / e.name, e.name);
        }
        list = FakeFileList(std::move(entries), current);
    }
    BatchPorts ports() {
        return {list, prompter, busy,
                [this](const std::string& from, const std::string& to) {
                    ++moveCalls;
                    return moveFileNoReplace(from, to);
                },
                utf8CodePage()};
    }
    Names folder() const { return namesIn(dir.path()); }

    TempFolder dir;
    FakeFileList list;
    FakePrompter prompter;
    FakeBusy busy;
    int moveCalls = 0;
};

TEST_F(RenameWalkTest, NumberedRenameKeepsOrderAndLowersExtensions) {
    listFiles({{"x.JPG", true}, {"y.txt", true}, {"z", true}});
    ASSERT_TRUE(renameNumbered(ports(), dir.path(), "リネーム1", "a", numberedRenameStart("")));

    EXPECT_EQ(folder(), (Names{"a1.jpg", "a2.txt", "a3"}));
    EXPECT_EQ(readFile(dir / "a1.jpg"), "x.JPG");
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].question, "選択ファイルをa1等に変更しますか?");
    EXPECT_EQ(prompter.asked[0].caption, "リネーム1");
    EXPECT_EQ(prompter.asked[0].detail, "x.JPG -> a1.jpg\ny.txt -> a2.txt\nz -> a3\n");
    EXPECT_EQ(moveCalls, 3);
    EXPECT_EQ(busy.begun, 1);
    EXPECT_EQ(busy.ended, 1);
    EXPECT_EQ(busy.steps, 3);
    EXPECT_EQ(list.refreshedWith, std::vector<std::string>{"a1.jpg"});
}

TEST(NumberedRename, StartNumberFieldTable) {
    struct Case {
        const char* field;
        const char* shown; // what the field shows while the question is asked
        Names result;
    };
    const Case cases[] = {
        {"abc", "1", {"a1.jpg", "a2.txt", "a3"}},
        {" 7", "7", {"a7.jpg", "a8.txt", "a9"}},
        {"7 ", "1", {"a1.jpg", "a2.txt", "a3"}},
        {"$A", "10", {"a10.jpg", "a11.txt", "a12"}},
        {"-2", "-2", {"a-2.jpg", "a-1.txt", "a0"}},
        {"2147483647", "2147483647", {"a2147483647.jpg", "a2147483648.txt", "a2147483649"}},
    };
    for (const auto& c : cases) {
        TempFolder dir;
        std::vector<ListEntry> entries{{"x.JPG", true}, {"y.txt", true}, {"z", true}};
        for (const auto& e : entries) {
            writeFile(dir / e.name, e.name);
        }
        FakeFileList list(entries);
        FakePrompter prompter;
        FakeBusy busy;
        const std::int32_t start = numberedRenameStart(c.field);
        EXPECT_EQ(std::to_string(start), c.shown) << c.field;
        renameNumbered({list, prompter, busy, moveFileNoReplace, utf8CodePage()}, dir.path(),
                       "リネーム1", "a", start);
        EXPECT_EQ(namesIn(dir.path()), c.result) << c.field;
        EXPECT_EQ(prompter.asked.at(0).question,
                  std::string("選択ファイルをa") + c.shown + "等に変更しますか?");
    }
}

TEST_F(RenameWalkTest, FailedMoveStillUsesUpItsNumberAndReplacesNothing) {
    listFiles({{"a1.jpg", true}, {"a2.jpg", true}});
    renameNumbered(ports(), dir.path(), "リネーム1", "a", 2);
    EXPECT_EQ(folder(), (Names{"a1.jpg", "a3.jpg"}));
    EXPECT_EQ(readFile(dir / "a1.jpg"), "a1.jpg");
    EXPECT_EQ(readFile(dir / "a3.jpg"), "a2.jpg");
}

TEST_F(RenameWalkTest, UnselectedItemsKeepNamesAndNumbersButStepTheBar) {
    listFiles({{"p.txt", true}, {"q.txt", false}, {"r.txt", true}, {"s.txt", false}});
    renameNumbered(ports(), dir.path(), "リネーム1", "a", 1);
    EXPECT_EQ(folder(), (Names{"a1.txt", "q.txt", "a2.txt", "s.txt"}));
    EXPECT_EQ(busy.range, 4);
    EXPECT_EQ(busy.steps, 4);
    EXPECT_EQ(moveCalls, 2);
}

TEST(RenameWalk, CurrentItemIsReselectedByWhatHappenedToIt) {
    struct Case {
        const char* what;
        int current;
        bool blocked; // a file of the new name already exists
        const char* reselected;
    };
    const Case cases[] = {
        {"selected, moved", 1, false, "new_b.txt"},
        {"selected, move failed", 1, true, "b.txt"},
        {"not selected", 0, false, ""},
    };
    for (const auto& c : cases) {
        TempFolder dir;
        writeFile(dir / "a.txt", "a");
        writeFile(dir / "b.txt", "b");
        if (c.blocked) {
            writeFile(dir / "new_b.txt", "other");
        }
        FakeFileList list({{"a.txt", false}, {"b.txt", true}}, c.current);
        FakePrompter prompter;
        FakeBusy busy;
        renameInsert({list, prompter, busy, moveFileNoReplace, utf8CodePage()}, dir.path(),
                     "リネーム2", 0, "new_");
        EXPECT_EQ(list.refreshedWith, std::vector<std::string>{c.reselected}) << c.what;
        if (c.blocked) {
            EXPECT_EQ(readFile(dir / "new_b.txt"), "other");
        }
    }
}

TEST_F(RenameWalkTest, CancelOrNoSelectionTouchesNothing) {
    listFiles({{"x.JPG", true}});
    prompter.answer = false;
    EXPECT_FALSE(renameNumbered(ports(), dir.path(), "リネーム1", "a", 1));
    EXPECT_EQ(prompter.asked.size(), 1u);

    list.entries[0].selected = false;
    prompter.answer = true;
    EXPECT_FALSE(changeExtension(ports(), dir.path(), "拡張子変換", "txt"));
    EXPECT_EQ(prompter.asked.size(), 1u); // not asked again
    ASSERT_EQ(prompter.noticed.size(), 1u);
    EXPECT_EQ(prompter.noticed[0].text, "ファイルが選択されていません。");
    EXPECT_EQ(prompter.noticed[0].caption, "処理中止");

    EXPECT_EQ(folder(), (Names{"x.JPG"}));
    EXPECT_EQ(moveCalls, 0);
    EXPECT_EQ(busy.begun, 0);
    EXPECT_TRUE(list.refreshedWith.empty());
}

TEST_F(RenameWalkTest, QuestionsOfTheOtherOperations) {
    listFiles({{"Photo.JPG", true}});
    renameInsert(ports(), dir.path(), "リネーム2", 1, "_v2");
    renameReplace(ports(), dir.path(), "リネーム3", "_v2", "");
    changeExtension(ports(), dir.path(), "拡張子変換", "");
    ASSERT_EQ(prompter.asked.size(), 3u);
    EXPECT_EQ(prompter.asked[0].question, "ファイル名の末尾に_v2を挿入しますか?");
    EXPECT_EQ(prompter.asked[0].detail, "Photo.JPG -> Photo_v2.jpg\n");
    EXPECT_EQ(prompter.asked[1].question, "選択ファイル名内の指定文字列を置換しますか?");
    EXPECT_EQ(prompter.asked[1].caption, "リネーム3");
    EXPECT_EQ(prompter.asked[2].question, "選択ファイルの拡張子をに変更しますか?");
    EXPECT_EQ(prompter.asked[2].caption, "拡張子変換");
}

TEST_F(RenameWalkTest, ExtensionChangeOntoAnExistingNameLeavesBothFiles) {
    listFiles({{"a.doc", true}, {"a.txt", true}, {"photo.jpg", true}});
    changeExtension(ports(), dir.path(), "拡張子変換", ".png");
    // a.doc takes "a..png" first; a.txt then finds it taken and keeps its name.
    EXPECT_EQ(folder(), (Names{"a..png", "a.txt", "photo..png"}));
    EXPECT_EQ(readFile(dir / "a..png"), "a.doc");

    TempFolder other;
    writeFile(other / "a.txt", "txt");
    writeFile(other / "a.doc", "doc");
    list = FakeFileList({{"a.doc", true}, {"a.txt", true}});
    changeExtension(ports(), other.path(), "拡張子変換", "txt");
    EXPECT_EQ(namesIn(other.path()), (Names{"a.doc", "a.txt"}));
    EXPECT_EQ(readFile(other / "a.txt"), "txt");
}

TEST_F(RenameWalkTest, OddNamesAreRenamedAsTheirBytes) {
    const std::string longName = std::string(251, 'L') + ".TXT"; // 255 bytes, the limit
    listFiles({{"new\nline.TXT", true},
               {"quo\"te's.TXT", true},
               {"\xff\xfe\x83.TXT", true}, // not UTF-8
               {longName, true},
               {"gone.TXT", true}},
              4);
    ::unlink((dir / "gone.TXT").c_str()); // vanished after the list was read
    renameInsert(ports(), dir.path(), "リネーム2", 1, "");
    EXPECT_EQ(folder(), (Names{"new\nline.txt", "quo\"te's.txt", "\xff\xfe\x83.txt",
                               std::string(251, 'L') + ".txt"}));
    EXPECT_EQ(list.refreshedWith, std::vector<std::string>{"gone.TXT"});

    // One byte more than the file system allows: that move fails, silently.
    list = FakeFileList({{"new\nline.txt", true}, {longName.substr(0, 251) + ".txt", true}});
    renameInsert(ports(), dir.path(), "リネーム2", 1, "_");
    EXPECT_EQ(folder(), (Names{"new\nline_.txt", "quo\"te's.txt", "\xff\xfe\x83.txt",
                               std::string(251, 'L') + ".txt"}));
}

TEST_F(RenameWalkTest, ANewNameNeverLeadsOutOfTheFolder) {
    listFiles({{"a.txt", true}, {"b.txt", true}, {"c.txt", true}});
    ASSERT_EQ(::mkdir((dir / "sub").c_str(), 0755), 0);
    renameInsert(ports(), dir.path(), "リネーム2", 0, "sub/");
    renameInsert(ports(), dir.path(), "リネーム2", 0, "../");
    EXPECT_EQ(folder(), (Names{"a.txt", "b.txt", "c.txt", "sub"}));
    EXPECT_TRUE(namesIn(dir / "sub").empty());
    // A replace that empties a whole name, or makes it "..", fails the same way.
    writeFile(dir / "x", "x");
    list = FakeFileList({{"x", true}});
    renameReplace(ports(), dir.path(), "リネーム3", "x", "");
    renameReplace(ports(), dir.path(), "リネーム3", "x", "..");
    EXPECT_EQ(folder(), (Names{"a.txt", "b.txt", "c.txt", "sub", "x"}));
    EXPECT_EQ(moveCalls, 0);
}

} // namespace
} // namespace harpoly
