#include "batch_fakes.h"
#include "core/platform/file_move.h"
#include "core/platform/move_journal.h"
#include "file_helpers.h"

#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace harpoly {
namespace {

using namespace harpoly::testing;
using Names = std::set<std::string>;

// Names in a folder that a move of ours made for itself.
Names temporariesIn(const std::string& folder) {
    Names found;
    for (const std::string& name : namesIn(folder)) {
        if (name.starts_with(".harpoly-move-")) {
            found.insert(name);
        }
    }
    return found;
}

// File systems that refuse what FUSE ones (FAT, exFAT, NTFS), sshfs and NFS
// refuse, counting how often they are asked.
int renameCalls = 0;
int linkCalls = 0;
int refuseRenameNoReplace(const char*, const char*) {
    ++renameCalls;
    errno = EINVAL;
    return -1;
}
int countedRenameNoReplace(const char* from, const char* to) {
    ++renameCalls;
    return systemRenameNoReplace(from, to);
}
int refuseLink(const char*, const char*) {
    ++linkCalls;
    errno = EPERM;
    return -1;
}
int countedLink(const char* from, const char* to) {
    ++linkCalls;
    return ::link(from, to);
}

struct FileSystemKind {
    const char* what;
    MoveCalls calls;
};

std::vector<FileSystemKind> fileSystemKinds() {
    MoveCalls native;
    native.renameNoReplace = countedRenameNoReplace;
    native.link = countedLink;
    MoveCalls noRename = native;
    noRename.renameNoReplace = refuseRenameNoReplace;
    MoveCalls noLinks = noRename;
    noLinks.link = refuseLink;
    return {{"renameat2 with RENAME_NOREPLACE", native},
            {"no RENAME_NOREPLACE, hard links", noRename},
            {"neither (FAT through FUSE)", noLinks}};
}

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

// Each way of putting a file in place, on a real folder: moves go through,
// an existing name is never replaced, and the way is found on the folder's
// first move, not asked again for every file.
TEST(FileMove, FallsBackOnFileSystemsThatRefuseTheNoReplaceRenameOrHardLinks) {
    for (const FileSystemKind& kind : fileSystemKinds()) {
        SCOPED_TRACE(kind.what);
        TempFolder dir, journal;
        renameCalls = linkCalls = 0;
        FileMover mover(journal.path(), kind.calls);
        for (const char* name : {"a", "b", "c", "taken", "taken2"}) {
            writeFile(dir / name, name);
        }
        EXPECT_TRUE(mover.move(dir / "a", dir / "a2"));
        EXPECT_TRUE(mover.move(dir / "b", dir / "b2"));
        EXPECT_FALSE(mover.move(dir / "c", dir / "taken"));
        EXPECT_FALSE(mover.move(dir / "taken2", dir / "taken2"));
        EXPECT_FALSE(mover.move(dir / "missing", dir / "d"));
        EXPECT_TRUE(mover.move(dir / "c", dir / "c2"));
        EXPECT_EQ(namesIn(dir.path()), (Names{"a2", "b2", "c2", "taken", "taken2"}));
        EXPECT_EQ(readFile(dir / "a2"), "a");
        EXPECT_EQ(readFile(dir / "taken"), "taken");
        const bool refusesRename = kind.calls.renameNoReplace == refuseRenameNoReplace;
        const bool refusesLinks = kind.calls.link == refuseLink;
        EXPECT_EQ(renameCalls, refusesRename ? 1 : 6);
        EXPECT_EQ(linkCalls, !refusesRename ? 0 : refusesLinks ? 1 : 6);
    }
}

// Two folders on different file systems: the work disk and /dev/shm (a
// memory file system on our machines), and a journal folder.
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
    // No journal of ours stays behind once its mover is gone.
    void TearDown() override {
        if (shm) {
            EXPECT_TRUE(namesIn(journal.path()).empty());
        }
    }
    TempFolder disk;
    TempFolder journal;
    std::optional<TempFolder> shm;
};

TEST_F(CrossDeviceMove, FileArrivesWholeAndLeavesTheSource) {
    std::string content(3 * 1024 * 1024 + 17, '\0');
    for (std::size_t i = 0; i < content.size(); ++i) {
        content[i] = static_cast<char>(i * 7919 % 251);
    }
    for (const FileSystemKind& kind : fileSystemKinds()) {
        SCOPED_TRACE(kind.what);
        writeFile(*shm / "big.jpg", content);
        ::chmod((*shm / "big.jpg").c_str(), 0640);
        const timespec old[2] = {{1000000000, 0}, {1100000000, 500}};
        ::utimensat(AT_FDCWD, (*shm / "big.jpg").c_str(), old, 0);

        ASSERT_TRUE(FileMover(journal.path(), kind.calls).move(*shm / "big.jpg", disk / "big.jpg"));
        EXPECT_TRUE(namesIn(shm->path()).empty());
        EXPECT_EQ(namesIn(disk.path()), Names{"big.jpg"}); // no temporary left behind
        EXPECT_EQ(readFile(disk / "big.jpg"), content);
        struct stat st {};
        ASSERT_EQ(::stat((disk / "big.jpg").c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0640u);
        EXPECT_EQ(st.st_mtim.tv_sec, 1100000000);
        ::unlink((disk / "big.jpg").c_str());
    }
}

TEST_F(CrossDeviceMove, NeverReplacesOnTheOtherFileSystem) {
    for (const FileSystemKind& kind : fileSystemKinds()) {
        SCOPED_TRACE(kind.what);
        writeFile(*shm / "a.jpg", "new");
        writeFile(disk / "a.jpg", "old");
        EXPECT_FALSE(FileMover(journal.path(), kind.calls).move(*shm / "a.jpg", disk / "a.jpg"));
        EXPECT_EQ(readFile(*shm / "a.jpg"), "new");
        EXPECT_EQ(readFile(disk / "a.jpg"), "old");
        EXPECT_EQ(namesIn(disk.path()), Names{"a.jpg"});
    }
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
    MoveCalls calls;
    calls.write = failAfterOneMegabyte;
    EXPECT_FALSE(FileMover(journal.path(), calls).move(disk / "a.jpg", *shm / "a.jpg"));
    EXPECT_EQ(namesIn(disk.path()), Names{"a.jpg"});
    EXPECT_EQ(readFile(disk / "a.jpg"), content);
    EXPECT_TRUE(namesIn(shm->path()).empty()); // the temporary is gone again
}

TEST_F(CrossDeviceMove, ASymbolicLinkMovesAsALink) {
    ASSERT_EQ(::symlink("target.jpg", (disk / "link.jpg").c_str()), 0);
    ASSERT_TRUE(FileMover(journal.path()).move(disk / "link.jpg", *shm / "link.jpg"));
    char target[64] = {};
    ASSERT_GT(::readlink((*shm / "link.jpg").c_str(), target, sizeof target - 1), 0);
    EXPECT_STREQ(target, "target.jpg");
    EXPECT_TRUE(namesIn(disk.path()).empty());
    EXPECT_EQ(namesIn(shm->path()), Names{"link.jpg"});
}

// Copies a megabyte, then the process is killed as if the machine went down.
ssize_t killedWhileCopying(int fd, const void* data, std::size_t size) {
    static std::size_t written = 0;
    if (written >= (1u << 20)) {
        ::kill(::getpid(), SIGKILL);
    }
    const ssize_t n = ::write(fd, data, std::min(size, std::size_t{64 * 1024}));
    written += n > 0 ? static_cast<std::size_t>(n) : 0;
    return n;
}

// A child process moves a file across file systems and is killed at one
// step; the next start's recovery must leave the file in exactly one place,
// whole, with no temporary and no journal left.
TEST_F(CrossDeviceMove, AMoveKilledAtAnyStepIsFinishedOrUndoneAtTheNextStart) {
    std::string content(3 * 1024 * 1024, '\0');
    for (std::size_t i = 0; i < content.size(); ++i) {
        content[i] = static_cast<char>(i * 31 % 253);
    }
    const std::optional<MoveStep> whileCopying; // killed by the write seam instead
    const std::pair<const char*, std::optional<MoveStep>> steps[] = {
        {"while copying", whileCopying},
        {"after the copy", MoveStep::Copied},
        {"after the link", MoveStep::Placed},
        {"before the unlink", MoveStep::BeforeSourceRemoval},
        {"after the unlink", MoveStep::SourceRemoved},
    };
    for (const FileSystemKind& kind : fileSystemKinds()) {
        for (const auto& [when, step] : steps) {
            SCOPED_TRACE(std::string(kind.what) + ", killed " + when);
            writeFile(disk / "photo.jpg", content);
            writeFile(*shm / "other.jpg", "stays");
            const pid_t child = ::fork();
            if (child == 0) {
                MoveCalls calls = kind.calls;
                if (step) {
                    calls.reached = [step = *step](MoveStep reached) {
                        if (reached == step) {
                            ::kill(::getpid(), SIGKILL);
                        }
                    };
                } else {
                    calls.write = killedWhileCopying;
                }
                (void)FileMover(journal.path(), calls).move(disk / "photo.jpg", *shm / "photo.jpg");
                ::_exit(0); // not killed: a fault of the test
            }
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
            EXPECT_FALSE(namesIn(journal.path()).empty()); // the killed mover's journal

            EXPECT_EQ(recoverMoves(journal.path()), 1);

            const bool atSource = !namesIn(disk.path()).empty();
            const bool atTarget = namesIn(shm->path()).count("photo.jpg") > 0;
            EXPECT_NE(atSource, atTarget) << "the file must stand in exactly one place";
            EXPECT_EQ(readFile(atSource ? disk / "photo.jpg" : *shm / "photo.jpg"), content);
            EXPECT_TRUE(temporariesIn(shm->path()).empty());
            EXPECT_EQ(namesIn(shm->path()).size(), atTarget ? 2u : 1u);
            EXPECT_EQ(readFile(*shm / "other.jpg"), "stays");
            EXPECT_TRUE(namesIn(journal.path()).empty());
            // Once the copy stands at the target, the move is finished.
            if (step && *step != MoveStep::Copied) {
                EXPECT_TRUE(atTarget);
            }
            ::unlink((disk / "photo.jpg").c_str());
            ::unlink((*shm / "photo.jpg").c_str());
        }
    }
}

TEST_F(CrossDeviceMove, RecoveryLeavesLiveMoversAndOtherFilesAlone) {
    // A mover of this process holds its journal: a recovery run elsewhere
    // must not settle it.
    FileMover mover(journal.path());
    writeFile(disk / "a.jpg", "a");
    ASSERT_TRUE(mover.move(disk / "a.jpg", *shm / "a.jpg"));
    ASSERT_EQ(namesIn(journal.path()).size(), 1u);
    EXPECT_EQ(recoverMoves(journal.path()), 0);
    EXPECT_EQ(namesIn(journal.path()).size(), 1u);

    // A damaged journal is removed and nothing else is touched; a file with
    // content standing at a placeholder's target is never taken.
    writeFile(journal / "1-damaged.move", "not a journal");
    writeFile(disk / "b.jpg", "b");
    writeFile(*shm / "b.jpg", "someone else's");
    settleMove({disk / "b.jpg", "", *shm / "b.jpg", MoveIntent::Phase::Reserved});
    EXPECT_EQ(recoverMoves(journal.path()), 1);
    EXPECT_EQ(readFile(disk / "b.jpg"), "b");
    EXPECT_EQ(readFile(*shm / "b.jpg"), "someone else's");
    EXPECT_EQ(readFile(*shm / "a.jpg"), "a");

    // A move into a folder that is not there now (a drive not mounted) waits
    // for a later start; its journal stays.
    const MoveIntent unplugged{disk / "b.jpg", *shm / "stick/.harpoly-move-x", *shm / "stick/b.jpg",
                               MoveIntent::Phase::Moving};
    EXPECT_FALSE(settleMove(unplugged));
    if (::fork() == 0) {
        MoveJournal left(journal.path());
        (void)left.record(unplugged, false);
        ::_exit(0); // ended without cleaning up, as by a crash
    }
    ::wait(nullptr);
    EXPECT_EQ(recoverMoves(journal.path()), 0);
    EXPECT_EQ(namesIn(journal.path()).size(), 2u); // the live mover's and the waiting one
    EXPECT_EQ(readFile(disk / "b.jpg"), "b");
    ::mkdir((*shm / "stick").c_str(), 0700);
    EXPECT_EQ(recoverMoves(journal.path()), 1);
    EXPECT_EQ(namesIn(journal.path()).size(), 1u);
    EXPECT_EQ(readFile(disk / "b.jpg"), "b");
}

} // namespace
} // namespace harpoly
