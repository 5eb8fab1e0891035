#include "core/platform/file_move.h"

#include "core/platform/file_descriptor.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <mutex>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

namespace harpoly {

namespace {

// Removes a temporary name again unless the move took it into place.
class TemporaryName {
public:
    TemporaryName() = default;
    explicit TemporaryName(std::string path) : path_(std::move(path)) {}
    ~TemporaryName() {
        if (!path_.empty()) {
            ::unlink(path_.c_str());
        }
    }
    TemporaryName(const TemporaryName&) = delete;
    TemporaryName& operator=(const TemporaryName&) = delete;
    const std::string& path() const { return path_; }
    void keep() { path_.clear(); }

private:
    std::string path_;
};

// Answers that say the file system lacks the call rather than that this
// move cannot be made.
bool notOffered(int err) {
    return err == EINVAL || err == ENOSYS || err == EOPNOTSUPP || err == ENOTTY;
}
bool noHardLinks(int err) {
    return err == EPERM || err == EOPNOTSUPP || err == ENOSYS || err == EMLINK;
}

bool writeAll(int fd, const char* data, std::size_t size,
              ssize_t (*write)(int, const void*, std::size_t)) {
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool onOneFileSystem(const std::string& from, const std::string& folder) {
    struct stat a {
    }, b{};
    return ::lstat(from.c_str(), &a) == 0 && ::stat(folder.c_str(), &b) == 0 &&
           a.st_dev == b.st_dev;
}

} // namespace

int systemRenameNoReplace(const char* from, const char* to) {
#ifdef RENAME_NOREPLACE
    return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE);
#else
    return static_cast<int>(::syscall(SYS_renameat2, AT_FDCWD, from, AT_FDCWD, to, 1u));
#endif
}

int systemLink(const char* from, const char* to) {
    return ::link(from, to);
}

ssize_t systemWrite(int fd, const void* data, std::size_t size) {
    return ::write(fd, data, size);
}

FileMover::FileMover(std::string journalFolder, MoveCalls calls)
    : calls_(std::move(calls)), journal_(std::move(journalFolder)),
      random_(std::random_device{}()) {}

void FileMover::reach(MoveStep step) const {
    if (calls_.reached) {
        calls_.reached(step);
    }
}

std::string FileMover::temporaryName(const std::string& folder) {
    static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string name = folder + ".harpoly-move-";
    for (int i = 0; i < 12; ++i) {
        name += digits[random_() % 36];
    }
    return name;
}

FileMover::Placed FileMover::placeOnReservation(const std::string& from, const std::string& to,
                                                MoveIntent* acrossIntent) {
    if (!onOneFileSystem(from, folderOf(to))) {
        return Placed::OtherFileSystem;
    }
    // The exclusive create fails when the name is taken; from then on the
    // name is ours, and the rename replaces nothing but our empty file.
    FileDescriptor placeholder(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (!placeholder.valid()) {
        return Placed::Failed;
    }
    struct stat held {};
    ::fstat(placeholder.get(), &held);
    placeholder.reset();
    MoveIntent within{from, {}, to, MoveIntent::Phase::Reserved};
    MoveIntent& intent = acrossIntent ? *acrossIntent : within;
    intent.phase = MoveIntent::Phase::Reserved;
    // Within one file system the record only guards the placeholder: it is
    // not worth a flush per file, and a missing journal does not stop us.
    (void)journal_.record(intent, false);
    struct stat now {};
    const bool stillOurs = ::stat(to.c_str(), &now) == 0 && now.st_dev == held.st_dev &&
                           now.st_ino == held.st_ino && now.st_size == 0;
    if (stillOurs && ::rename(from.c_str(), to.c_str()) == 0) {
        if (!acrossIntent) {
            journal_.clear();
        }
        return Placed::Done;
    }
    if (stillOurs) {
        ::unlink(to.c_str());
    }
    intent.phase = MoveIntent::Phase::Moving;
    if (acrossIntent) {
        (void)journal_.record(intent, false);
    } else {
        journal_.clear();
    }
    return Placed::Failed;
}

FileMover::Placing& FileMover::placingFor(const std::string& to) {
    // A batch moves into one folder: its entry is found again without
    // building the folder's name for every file.
    const std::size_t slash = to.rfind('/');
    const std::size_t length = slash == std::string::npos ? 0 : slash + 1;
    if (!lastPlacing_ || lastFolder_.size() != length || to.compare(0, length, lastFolder_) != 0) {
        lastFolder_ = to.substr(0, length);
        lastPlacing_ = &placing_.try_emplace(lastFolder_, Placing::NoReplaceRename).first->second;
    }
    return *lastPlacing_;
}

FileMover::Placed FileMover::place(const std::string& from, const std::string& to,
                                   MoveIntent* acrossIntent) {
    Placing& how = placingFor(to);
    if (how == Placing::NoReplaceRename) {
        if (calls_.renameNoReplace(from.c_str(), to.c_str()) == 0) {
            return Placed::Done;
        }
        if (errno == EXDEV) {
            return Placed::OtherFileSystem;
        }
        if (!notOffered(errno)) {
            return Placed::Failed;
        }
        how = Placing::LinkAndUnlink;
    }
    if (how == Placing::LinkAndUnlink) {
        // A hard link fails on an existing name just as the rename would.
        if (calls_.link(from.c_str(), to.c_str()) == 0) {
            if (::unlink(from.c_str()) != 0) {
                ::unlink(to.c_str());
                return Placed::Failed;
            }
            return Placed::Done;
        }
        if (errno == EXDEV) {
            return Placed::OtherFileSystem;
        }
        if (!noHardLinks(errno)) {
            return Placed::Failed;
        }
        how = Placing::Reservation;
    }
    return placeOnReservation(from, to, acrossIntent);
}

bool FileMover::move(const std::string& from, const std::string& to) {
    switch (place(from, to, nullptr)) {
    case Placed::Done:
        return true;
    case Placed::OtherFileSystem:
        return moveAcross(from, to);
    default:
        return false;
    }
}

bool FileMover::finishAcross(const std::string& from, const std::string& to, MoveIntent& intent) {
    reach(MoveStep::Copied);
    if (place(intent.temporary, to, &intent) != Placed::Done) {
        return false;
    }
    reach(MoveStep::Placed);
    syncFolder(folderOf(to));
    reach(MoveStep::BeforeSourceRemoval);
    if (::unlink(from.c_str()) != 0) {
        // The file must not stand in both places: the copy goes again.
        ::unlink(to.c_str());
        return false;
    }
    // Flushed before the journal lets go of the move, so that after a power
    // cut the source is not back while the record is gone.
    syncFolder(folderOf(from));
    reach(MoveStep::SourceRemoved);
    return true;
}

bool FileMover::moveAcross(const std::string& from, const std::string& to) {
    struct stat st {};
    if (::lstat(from.c_str(), &st) != 0 || !(S_ISREG(st.st_mode) || S_ISLNK(st.st_mode))) {
        return false;
    }
    MoveIntent intent{from, temporaryName(folderOf(to)), to, MoveIntent::Phase::Moving};
    // The intent is on disk before anything of ours is.
    if (!journal_.record(intent, true)) {
        return false;
    }
    const auto done = [&](bool moved) {
        journal_.clear();
        return moved;
    };

    if (S_ISLNK(st.st_mode)) {
        std::vector<char> target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1);
        const ssize_t n = ::readlink(from.c_str(), target.data(), target.size());
        if (n < 0 || static_cast<std::size_t>(n) >= target.size()) {
            return done(false);
        }
        target[static_cast<std::size_t>(n)] = '\0';
        if (::symlink(target.data(), intent.temporary.c_str()) != 0) {
            return done(false);
        }
        TemporaryName temporary(intent.temporary);
        return done(finishAcross(from, to, intent));
    }

    FileDescriptor source(::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY));
    struct stat opened {};
    if (!source.valid() || ::fstat(source.get(), &opened) != 0 || opened.st_ino != st.st_ino ||
        opened.st_dev != st.st_dev) {
        return done(false);
    }
    FileDescriptor copy(
        ::open(intent.temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (!copy.valid()) {
        return done(false);
    }
    TemporaryName temporary(intent.temporary);
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const ssize_t n = ::read(source.get(), buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return done(false);
        }
        if (n == 0) {
            break;
        }
        if (!writeAll(copy.get(), buffer.data(), static_cast<std::size_t>(n), calls_.write)) {
            return done(false);
        }
    }
    // The moved file keeps its owner, permissions and times where the file
    // system holds them, as a rename would have kept them; FAT holds neither
    // owner nor permissions, and only a privileged user may give a file away.
    (void)::fchown(copy.get(), opened.st_uid, opened.st_gid);
    (void)::fchmod(copy.get(), opened.st_mode & 07777);
    const timespec times[2] = {opened.st_atim, opened.st_mtim};
    (void)::futimens(copy.get(), times);
    if (::fsync(copy.get()) != 0 || !copy.close()) {
        return done(false);
    }
    return done(finishAcross(from, to, intent));
}

std::string moveJournalFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/') {
        return std::string(state) + "/harpoly/moves/";
    }
    std::string home;
    if (const char* h = std::getenv("HOME"); h && *h) {
        home = h;
    } else if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) {
        home = pw->pw_dir;
    }
    return home.empty() ? std::string() : home + "/.local/state/harpoly/moves/";
}

namespace {
std::mutex programMoverLock;
FileMover& programMover() {
    static FileMover mover(moveJournalFolder());
    return mover;
}
} // namespace

bool moveFileNoReplace(const std::string& from, const std::string& to) {
    const std::lock_guard<std::mutex> hold(programMoverLock);
    return programMover().move(from, to);
}

void recoverInterruptedMoves() {
    recoverMoves(moveJournalFolder());
}

} // namespace harpoly
