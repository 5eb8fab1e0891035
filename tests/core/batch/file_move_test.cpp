#include "batch_fakes.h"
#include "file_helpers.h"
#include "core/platform/file_move.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace harpoly {
namespace {

using namespace harpoly::testing;
using Names = std::set<std::string>;

TEST(FileMove, NeverReplacesAndFailsOnAMissingSource) {
    TempFolder dir;
    writeFile(dir / "a", "A");
    writeFile(dir / "b", "B");
    EXPECT_FALSE(moveFileNoReplace(dir / "a", dir / "b"));
    EXPECT_FALSE(moveFileNoReplace(dir / "a", dir / "a")); // onto itself
    EXPECT_FALSE(moveFileNoReplace(dir / "missing", dir / "c"));
    EXPECT_FALSE(moveFileNoReplace(dir / "a", dir / "nofolder/a"));
    EXPECT_EQ(readFile(dir / "a"), "A");
    EXPECT_EQ(readFile(dir / "b"), "B");
    EXPECT_TRUE(moveFileNoReplace(dir / "a", dir / "c"));
    EXPECT_EQ(namesIn(dir.path()), (Names{"b", "c"}));
}

// Two folders on different file systems: the work disk and /dev/shm.
class CrossDeviceMove : public ::testing::Test {
protected:
    void SetUp() override {
        struct stat a {
        }, b{};
        if (::stat("/dev/shm", &b) != 0 || ::stat(disk.path().c_str(), &a) != 0 ||
            a.st_dev == b.st_dev) {
            GTEST_SKIP() << "/dev/shm is not a file system of its own here";
        }
        shm.emplace("/dev/shm");
    }
    TempFolder disk;
    std::optional<TempFolder> shm;
};

TEST_F(CrossDeviceMove, FileArrivesWholeAndLeavesTheSource) {
    std::string content(3 * 1024 * 1024 + 17, '\0');
    for (std::size_t i = 0; i < content.size(); ++i) {
        content[i] = static_cast<char>(i * 7919 % 251);
    }
    writeFile(*shm / "big.jpg", content);
    ::chmod((*shm / "big.jpg").c_str(), 0640);
    const timespec old[2] = {{1000000000, 0}, {1100000000, 500}};
    ::utimensat(AT_FDCWD, (*shm / "big.jpg").c_str(), old, 0);

    ASSERT_TRUE(moveFileNoReplace(*shm / "big.jpg", disk / "big.jpg"));
    EXPECT_TRUE(namesIn(shm->path()).empty());
    EXPECT_EQ(namesIn(disk.path()), Names{"big.jpg"}); // no temporary left behind
    EXPECT_EQ(readFile(disk / "big.jpg"), content);
    struct stat st {};
    ASSERT_EQ(::stat((disk / "big.jpg").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(st.st_mtim.tv_sec, 1100000000);
}

TEST_F(CrossDeviceMove, NeverReplacesOnTheOtherFileSystem) {
    writeFile(*shm / "a.jpg", "new");
    writeFile(disk / "a.jpg", "old");
    EXPECT_FALSE(moveFileNoReplace(*shm / "a.jpg", disk / "a.jpg"));
    EXPECT_EQ(readFile(*shm / "a.jpg"), "new");
    EXPECT_EQ(readFile(disk / "a.jpg"), "old");
    EXPECT_EQ(namesIn(disk.path()), Names{"a.jpg"});
}

// Writes the first megabyte, then fails as a full disk would.
ssize_t failAfterOneMegabyte(int fd, const void* data, std::size_t size) {
    static thread_local std::size_t written = 0;
    if (written >= (1u << 20)) {
        written = 0;
        errno = ENOSPC;
        return -1;
    }
    const ssize_t n = ::write(fd, data, std::min(size, std::size_t{64 * 1024}));
    written += n > 0 ? static_cast<std::size_t>(n) : 0;
    return n;
}

TEST_F(CrossDeviceMove, ACopyThatFailsHalfWayLeavesExactlyTheSource) {
    const std::string content(4 * 1024 * 1024, 'x');
    writeFile(disk / "a.jpg", content);
    EXPECT_FALSE(moveFileNoReplaceUsing(disk / "a.jpg", *shm / "a.jpg", failAfterOneMegabyte));
    EXPECT_EQ(namesIn(disk.path()), Names{"a.jpg"});
    EXPECT_EQ(readFile(disk / "a.jpg"), content);
    EXPECT_TRUE(namesIn(shm->path()).empty()); // the temporary is gone again
}

TEST_F(CrossDeviceMove, ASymbolicLinkMovesAsALink) {
    ASSERT_EQ(::symlink("target.jpg", (disk / "link.jpg").c_str()), 0);
    ASSERT_TRUE(moveFileNoReplace(disk / "link.jpg", *shm / "link.jpg"));
    char target[64] = {};
    ASSERT_GT(::readlink((*shm / "link.jpg").c_str(), target, sizeof target - 1), 0);
    EXPECT_STREQ(target, "target.jpg");
    EXPECT_TRUE(namesIn(disk.path()).empty());
    EXPECT_EQ(namesIn(shm->path()), Names{"link.jpg"});
}

} // namespace
} // namespace harpoly
