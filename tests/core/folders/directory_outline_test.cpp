#include "core/errors.h"
#include "core/folders/directory_outline.h"
#include "core/folders/folder_reader.h"
#include "core/folders/volume_switch.h"
#include "platform/scratch_folder.h"
#include "core/platform/volumes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>

namespace harpoly {
namespace {

namespace fs = std::filesystem;

// Reads the real disk, counts the reads per folder, and fails the folders it
// is told to (the tests run as root, where permissions never stop a read).
class CountingReader : public FolderReader {
public:
    bool subFolders(const std::string& folder, std::vector<std::string>& names) const override {
        ++reads[folder];
        return !failing.count(folder) && system.subFolders(folder, names);
    }
    mutable std::map<std::string, int> reads;
    std::set<std::string> failing;

private:
    SystemFolderReader system;
};

class FixedVolumes : public VolumeSource {
public:
    explicit FixedVolumes(std::vector<std::string> list) : list_(std::move(list)) {}
    std::vector<std::string> volumes() const override { return list_; }

private:
    std::vector<std::string> list_;
};

class OutlineTest : public ::testing::Test {
protected:
    void mkdirs(std::initializer_list<const char*> paths) {
        for (const char* p : paths) {
            fs::create_directories(root + "/" + p);
        }
    }
    // The test folder is a volume of its own, so the tree's root item is it.
    DirectoryOutline open(const std::string& below) {
        return DirectoryOutline(reader, folders, {"/", root}, root + below);
    }
    static std::vector<std::string> texts(const OutlineItem& parent) {
        std::vector<std::string> out;
        for (const auto& c : parent.children) {
            out.push_back(c->text);
        }
        return out;
    }
    int numberOf(const DirectoryOutline& o, const std::string& path) {
        for (int n = 1; n <= o.count(); ++n) {
            if (o.fullPath(n) == path) {
                return n;
            }
        }
        return 0;
    }

    test::ScratchFolder dir;
    const std::string root = dir.path().substr(0, dir.path().size() - 1); // without the "/"
    CountingReader reader;
    VolumeFolders folders;
};

TEST_F(OutlineTest, OpensDownToTheStartFolderMatchingLevelsWithoutCase) {
    mkdirs({"Photos/2004/Summer", "Photos/2005", "music"});
    auto o = open("/photos/2004/");
    EXPECT_EQ(o.volume(), root);
    EXPECT_EQ(o.text(1), root);
    EXPECT_EQ(o.fullPath(1), root);
    EXPECT_EQ(o.fullPath(o.selected()), root + "/Photos/2004");
    EXPECT_TRUE(o.item(o.selected()).expanded);
    EXPECT_EQ(folders.currentOf(root), root + "/Photos/2004");
    // root, music, Photos, 2004, Summer, 2005 in tree order
    const std::vector<std::string> order = {root, "music", "Photos", "2004", "Summer", "2005"};
    ASSERT_EQ(o.count(), 6);
    for (int n = 1; n <= o.count(); ++n) {
        EXPECT_EQ(o.text(n), order[n - 1]) << n;
    }
    EXPECT_EQ(o.selected(), 4);
}

TEST_F(OutlineTest, SubFoldersSortIgnoringCaseWithoutHiddenFilesOrBrokenLinks) {
    mkdirs({"b", "A", "a", "C", ".hidden", "target"});
    std::ofstream(root + "/z.txt") << "x";
    fs::create_directory_symlink(root + "/target", root + "/Link");
    fs::create_symlink(root + "/missing", root + "/broken");
    fs::create_symlink(root + "/z.txt", root + "/filelink");
    auto o = open("/");
    EXPECT_EQ(texts(o.root()), (std::vector<std::string>{"A", "a", "b", "C", "Link", "target"}));
}

TEST_F(OutlineTest, ExpandingInsertsAfterTheItemAndCollapseKeepsTheNumbers) {
    mkdirs({"a/x", "a/y", "b"});
    auto o = open("/");
    ASSERT_EQ(o.count(), 3); // root, a, b
    EXPECT_EQ(o.text(3), "b");
    o.expand(2);
    ASSERT_EQ(o.count(), 5);
    EXPECT_EQ(o.text(3), "x");
    EXPECT_EQ(o.text(4), "y");
    EXPECT_EQ(o.text(5), "b");
    EXPECT_EQ(o.item(5).number, 5);
    o.collapse(2);
    EXPECT_FALSE(o.item(2).expanded);
    EXPECT_EQ(o.count(), 5); // read sub-items stay numbered while collapsed
    o.expand(2);
    o.expand(2);
    EXPECT_EQ(reader.reads[root + "/a"], 1);
    EXPECT_EQ(o.fullPath(4), root + "/a/y");
    for (int bad : {0, 6, -1}) {
        try {
            (void)o.item(bad);
            ADD_FAILURE() << bad;
        } catch (const Error& e) {
            EXPECT_EQ(e.kind(), kind::Outline);
        }
    }
}

TEST_F(OutlineTest, SelectionFollowsCollapseAndShowsTheOutermostCollapsedItem) {
    mkdirs({"a/b/c"});
    auto o = open("/a/b/c");
    const int a = 2, b = 3, c = 4;
    ASSERT_EQ(o.selected(), c);
    o.collapse(b);
    EXPECT_EQ(o.selected(), b);
    EXPECT_EQ(folders.currentOf(root), root + "/a/b");
    o.collapse(a);
    o.setSelected(c); // inside two collapsed items: the outer one shows
    EXPECT_EQ(o.selected(), a);
    o.expand(a);
    o.setSelected(c);
    EXPECT_EQ(o.selected(), b);
    o.collapse(1);
    EXPECT_EQ(o.selected(), 1);
    EXPECT_EQ(folders.currentOf(root), root);
}

TEST_F(OutlineTest, AStartFolderTheTreeDoesNotListOpensAtTheNearestListedOne) {
    mkdirs({"a/.hidden/x", "a/b"});
    const std::pair<const char*, const char*> cases[] = {
        {"/a/.hidden/x/", "/a"},
        {"/a/missing/deeper", "/a"},
        {"/a/b/../b/./", "/a/b"},
    };
    for (const auto& [start, selected] : cases) {
        auto o = open(start);
        EXPECT_EQ(o.fullPath(o.selected()), root + selected) << start;
    }
}

TEST_F(OutlineTest, UnreadableOrRemovedFoldersExpandQuietlyToNothing) {
    mkdirs({"locked/inside", "gone/inside", "ok/inside"});
    reader.failing.insert(root + "/locked");
    auto o = open("/");
    fs::remove_all(root + "/gone");
    const int before = o.count();
    for (const char* name : {"gone", "locked"}) {
        const int n = numberOf(o, root + "/" + name);
        ASSERT_GT(n, 0);
        EXPECT_NO_THROW(o.expand(n));
        EXPECT_TRUE(o.item(n).read);
        EXPECT_TRUE(o.item(n).children.empty());
    }
    EXPECT_EQ(o.count(), before);
}

TEST_F(OutlineTest, ASymlinkLoopIsReadOneLevelPerExpansion) {
    mkdirs({"loop/real"});
    fs::create_directory_symlink(".", root + "/loop/a");
    auto o = open("/loop");
    // a, real under loop; every a expands to a, real again.
    int n = numberOf(o, root + "/loop/a");
    std::string path = root + "/loop/a";
    for (int level = 1; level <= 5; ++level) {
        ASSERT_GT(n, 0) << level;
        o.expand(n);
        EXPECT_EQ(texts(o.item(n)), (std::vector<std::string>{"a", "real"}));
        path += "/a";
        n = numberOf(o, path);
    }
    EXPECT_EQ(o.count(), 1 + 1 + 2 + 5 * 2);
    EXPECT_EQ(reader.reads.size(), 2u + 5u); // root, loop, five levels of a
}

TEST_F(OutlineTest, AVolumeThatCannotBeReadRaisesAndLeavesTheTree) {
    mkdirs({"vol/x", "novol"});
    reader.failing.insert(root + "/novol");
    try {
        DirectoryOutline bad(reader, folders, {"/", root + "/novol"}, root + "/novol/x");
        ADD_FAILURE();
    } catch (const Error& e) {
        EXPECT_EQ(e.kind(), kind::Outline);
    }
    DirectoryOutline o(reader, folders, {"/", root + "/vol", root + "/novol"}, root + "/vol/x");
    const int count = o.count();
    EXPECT_THROW(o.setVolume(root + "/novol"), Error);
    EXPECT_EQ(o.volume(), root + "/vol");
    EXPECT_EQ(o.count(), count);
    EXPECT_EQ(o.fullPath(o.selected()), root + "/vol/x");
}

class SwitchTest : public OutlineTest {
protected:
    void SetUp() override {
        OutlineTest::SetUp();
        mkdirs({"a/work/out", "a/Zed", "b/photos/work", "b/work/out", "b/work/zz", "b/Work2",
                "c/work"});
        volumes = std::make_unique<FixedVolumes>(
            std::vector<std::string>{"/", root + "/a", root + "/b", root + "/c", root + "/none"});
    }
    DirectoryOutline openOn(const std::string& start) {
        return DirectoryOutline(reader, folders, volumes->volumes(), root + start);
    }
    std::unique_ptr<FixedVolumes> volumes;
};

TEST_F(SwitchTest, TheOutputFolderIsWalkedBelowTheVolumeThatHoldsIt) {
    EXPECT_EQ(outputFolderComponents(root + "/a/work/out/", volumes->volumes()),
              (std::vector<std::string>{"work", "out"}));
    EXPECT_TRUE(outputFolderComponents("", volumes->volumes()).empty());

    auto o = openOn("/a/");
    ASSERT_TRUE(switchVolume(o, *volumes, root + "/b", root + "/a/work/out/"));
    EXPECT_EQ(o.volume(), root + "/b");
    EXPECT_EQ(o.fullPath(o.selected()), root + "/b/work/out");
    EXPECT_TRUE(o.item(o.selected()).expanded);
    EXPECT_EQ(folders.currentOf(root + "/b"), root + "/b/work/out");
}

TEST_F(SwitchTest, TheWalkIsCaseSignificantAndStopsAtAMissingName) {
    const std::pair<const char*, const char*> cases[] = {
        {"/a/Work/out/", "/b"},          // "Work" does not open "work"
        {"/a/work/nothere/", "/b/work"}, // stops at work, never wanders to photos/work
        {"/a/work/zz/", "/b/work/zz"},   // the very last item of the tree
    };
    for (const auto& [output, selected] : cases) {
        VolumeFolders fresh;
        DirectoryOutline o(reader, fresh, volumes->volumes(), root + "/a");
        ASSERT_TRUE(switchVolume(o, *volumes, root + "/b", root + output)) << output;
        EXPECT_EQ(o.fullPath(o.selected()), root + selected) << output;
    }
}

TEST_F(SwitchTest, AnEarlierOpenedFolderOfTheSameNameDoesNotCatchTheWalk) {
    // b's current folder is b/photos/work, which comes before b/work in tree order.
    folders.setCurrent(root + "/b", root + "/b/photos/work");
    auto o = openOn("/c/");
    ASSERT_TRUE(switchVolume(o, *volumes, root + "/b", root + "/a/work/out/"));
    EXPECT_EQ(o.fullPath(o.selected()), root + "/b/work/out");
}

TEST_F(SwitchTest, SwitchingOpensAtTheVolumesCurrentFolderAndKeepsTheSameVolume) {
    auto o = openOn("/b/photos/work");
    ASSERT_TRUE(switchVolume(o, *volumes, root + "/a", ""));
    EXPECT_EQ(o.fullPath(o.selected()), root + "/a");
    ASSERT_TRUE(switchVolume(o, *volumes, root + "/b", ""));
    EXPECT_EQ(o.fullPath(o.selected()), root + "/b/photos/work");
    const int reads = reader.reads[root + "/b"];
    ASSERT_TRUE(switchVolume(o, *volumes, root + "/b", "")); // same volume: tree kept
    EXPECT_EQ(reader.reads[root + "/b"], reads);
    EXPECT_EQ(o.fullPath(o.selected()), root + "/b/photos/work");
}

TEST_F(SwitchTest, AVolumeWithNoMediumLeavesTheTreeAsItWas) {
    auto o = openOn("/a/work");
    EXPECT_FALSE(switchVolume(o, *volumes, root + "/none", root + "/a/work/out/"));
    EXPECT_EQ(o.volume(), root + "/a");
    EXPECT_EQ(o.fullPath(o.selected()), root + "/a/work");
}

} // namespace
} // namespace harpoly
