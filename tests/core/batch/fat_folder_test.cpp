// The batch moves on a real FAT file system mounted through FUSE (fusefat),
// the way a Windows USB stick is mounted without privileges: it refuses
// renameat2 with RENAME_NOREPLACE (EINVAL) and hard links (EPERM), and its
// rename replaces. The tests are skipped where FUSE cannot mount.

#include "batch_fakes.h"
#include "core/batch/batch_renames.h"
#include "core/batch/jpeg_selection.h"
#include "core/platform/code_page.h"
#include "core/platform/file_move.h"
#include "file_helpers.h"
#include "jpeg_fixtures.h"

#include <chrono>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace harpoly {
namespace {

using namespace harpoly::testing;
using Names = std::set<std::string>;

// Runs a program with its output dropped; its exit code, or -1.
int runQuietly(const std::vector<std::string>& command) {
    const pid_t child = ::fork();
    if (child == 0) {
        std::freopen("/dev/null", "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        std::vector<char*> argv;
        for (const std::string& arg : command) {
            argv.push_back(const_cast<char*>(arg.c_str()));
        }
        argv.push_back(nullptr);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

std::string findProgram(const std::string& name) {
    for (const char* folder : {"/usr/sbin/", "/sbin/", "/usr/bin/", "/bin/"}) {
        if (::access((folder + name).c_str(), X_OK) == 0) {
            return folder + name;
        }
    }
    return {};
}

dev_t deviceOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_dev : 0;
}

class FatFolder : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string mkfs = findProgram("mkfs.fat");
        const std::string fusefat = findProgram("fusefat");
        if (mkfs.empty() || fusefat.empty() || findProgram("fusermount").empty()) {
            GTEST_SKIP()
                << "mkfs.fat, fusefat or fusermount missing (packages dosfstools, fusefat)";
        }
        if (::access("/dev/fuse", R_OK | W_OK) != 0) {
            GTEST_SKIP() << "no usable /dev/fuse: FUSE cannot mount here";
        }
        const std::string image = work / "fat.img";
        mountPoint = work / "usb/";
        ::mkdir(mountPoint.c_str(), 0700);
        if (runQuietly({mkfs, "-C", "-F", "16", image, "32768"}) != 0) {
            GTEST_SKIP() << "mkfs.fat could not make the image";
        }
        if (runQuietly({fusefat, "-o", "rw+", image, mountPoint}) != 0) {
            GTEST_SKIP() << "fusefat could not mount the image (no FUSE permission here?)";
        }
        for (int i = 0; i < 100 && deviceOf(mountPoint) == deviceOf(work.path()); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        mounted = deviceOf(mountPoint) != deviceOf(work.path());
        if (!mounted) {
            GTEST_SKIP() << "the FAT image did not appear as its own file system";
        }
    }
    void TearDown() override {
        if (mounted) {
            // Every move is over: no temporary or placeholder of ours remains.
            for (const std::string& name : namesIn(mountPoint)) {
                EXPECT_FALSE(name.starts_with(".harpoly-move-")) << name;
            }
            for (int i = 0; i < 50 && runQuietly({"fusermount", "-u", mountPoint}) != 0; ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
        }
    }
    BatchPorts ports(FakeFileList& list) {
        return {
            list, prompter, busy,
            [this](const std::string& from, const std::string& to) { return mover.move(from, to); },
            utf8CodePage()};
    }

    TempFolder work;
    TempFolder journal;
    FileMover mover{journal.path()};
    std::string mountPoint;
    bool mounted = false;
    FakePrompter prompter;
    FakeBusy busy;
};

TEST_F(FatFolder, NumberedRenameWorksAndReplacesNothing) {
    for (const char* name : {"x.JPG", "y.txt", "z"}) {
        writeFile(mountPoint + name, name);
    }
    FakeFileList list({{"x.JPG", true}, {"y.txt", true}, {"z", true}});
    ASSERT_TRUE(renameNumbered(ports(list), mountPoint, "リネーム1", "a", 1));
    EXPECT_EQ(namesIn(mountPoint), (Names{"a1.jpg", "a2.txt", "a3"}));
    EXPECT_EQ(readFile(mountPoint + "a2.txt"), "y.txt");

    // A new name that is taken: that file keeps its name, the other moves.
    writeFile(mountPoint + "b1", "already here");
    FakeFileList again({{"a3", true}, {"a2.txt", true}});
    renameNumbered(ports(again), mountPoint, "リネーム1", "b", 1);
    EXPECT_EQ(namesIn(mountPoint), (Names{"a1.jpg", "a3", "b1", "b2.txt"}));
    EXPECT_EQ(readFile(mountPoint + "b1"), "already here");
    EXPECT_EQ(readFile(mountPoint + "a3"), "z");
    EXPECT_EQ(readFile(mountPoint + "b2.txt"), "y.txt");
}

TEST_F(FatFolder, ExtensionChangeWorksAndReplacesNothing) {
    writeFile(mountPoint + "photo.JPG", "photo");
    writeFile(mountPoint + "notes.txt", "notes");
    writeFile(mountPoint + "notes.png", "already here");
    FakeFileList list({{"photo.JPG", true}, {"notes.txt", true}, {"notes.png", false}});
    ASSERT_TRUE(changeExtension(ports(list), mountPoint, "拡張子変換", "png"));
    EXPECT_EQ(namesIn(mountPoint), (Names{"photo.png", "notes.txt", "notes.png"}));
    EXPECT_EQ(readFile(mountPoint + "photo.png"), "photo");
    EXPECT_EQ(readFile(mountPoint + "notes.png"), "already here");
}

TEST_F(FatFolder, JpegSelectionMovesIntoItAndReplacesNothing) {
    const std::string display = work / "photos/";
    ::mkdir(display.c_str(), 0700);
    const std::string picture = encodeJpeg(64, 48);
    for (const char* name : {"a.jpg", "b.JPG", "c.jpeg"}) {
        writeFile(display + name, picture);
    }
    writeFile(mountPoint + "b.JPG", "already here");
    FakeFileList list({{"a.jpg"}, {"b.JPG"}, {"c.jpeg"}});
    ASSERT_TRUE(selectJpegsBySize(ports(list), display, mountPoint, "JPG選別1",
                                  JpegSizeCondition::widthAndHeight(0, 0, 0, 0, 0)));
    EXPECT_EQ(namesIn(display), Names{"b.JPG"});
    EXPECT_EQ(namesIn(mountPoint), (Names{"a.jpg", "b.JPG", "c.jpeg"}));
    EXPECT_EQ(readFile(mountPoint + "a.jpg"), picture);
    EXPECT_EQ(readFile(mountPoint + "c.jpeg"), picture);
    EXPECT_EQ(readFile(mountPoint + "b.JPG"), "already here");
}

} // namespace
} // namespace harpoly
