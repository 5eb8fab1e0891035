#include "core/platform/move_journal.h"

#include "core/platform/folders.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace harpoly {

namespace {

constexpr char kMagic[] = "harpoly-move-1\n";
constexpr char kSuffix[] = ".move";
// Three paths and their lengths fit well within this.
constexpr std::size_t kMaxRecord = 64 * 1024;

void putText(std::string& out, const std::string& text) {
    const auto length = static_cast<std::uint32_t>(text.size());
    for (int i = 0; i < 4; ++i) {
        out += static_cast<char>(length >> (8 * i));
    }
    out += text;
}

bool takeText(std::string_view& in, std::string& text) {
    if (in.size() < 4) {
        return false;
    }
    std::uint32_t length = 0;
    for (int i = 0; i < 4; ++i) {
        length |= static_cast<std::uint32_t>(static_cast<unsigned char>(in[i])) << (8 * i);
    }
    in.remove_prefix(4);
    if (length > in.size()) {
        return false;
    }
    text = std::string(in.substr(0, length));
    in.remove_prefix(length);
    return true;
}

std::string encode(const MoveIntent& intent) {
    std::string out = kMagic;
    putText(out, intent.source);
    putText(out, intent.temporary);
    putText(out, intent.target);
    out += intent.phase == MoveIntent::Phase::Reserved ? 'R' : 'M';
    return out;
}

// False for an empty journal (no move in progress) or one that is damaged.
bool decode(std::string_view in, MoveIntent& intent) {
    if (in.substr(0, sizeof kMagic - 1) != kMagic) {
        return false;
    }
    in.remove_prefix(sizeof kMagic - 1);
    if (!takeText(in, intent.source) || !takeText(in, intent.temporary) ||
        !takeText(in, intent.target) || in.size() != 1) {
        return false;
    }
    intent.phase = in[0] == 'R' ? MoveIntent::Phase::Reserved : MoveIntent::Phase::Moving;
    return !intent.source.empty() && !intent.target.empty();
}

bool writeAllAt(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0;
}

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool sameBytes(const std::string& a, const std::string& b) {
    FileDescriptor fa(::open(a.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    FileDescriptor fb(::open(b.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    if (!fa.valid() || !fb.valid()) {
        return false;
    }
    std::vector<char> ba(1 << 20), bb(1 << 20);
    for (;;) {
        const ssize_t na = ::read(fa.get(), ba.data(), ba.size());
        if (na < 0) {
            return false;
        }
        std::size_t got = 0;
        while (got < static_cast<std::size_t>(na)) {
            const ssize_t nb =
                ::read(fb.get(), bb.data() + got, static_cast<std::size_t>(na) - got);
            if (nb <= 0) {
                return false;
            }
            got += static_cast<std::size_t>(nb);
        }
        if (std::memcmp(ba.data(), bb.data(), got) != 0) {
            return false;
        }
        if (na == 0) {
            char extra;
            return ::read(fb.get(), &extra, 1) == 0;
        }
    }
}

std::string linkTarget(const std::string& path) {
    std::string target(4096, '\0');
    const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
    target.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return target;
}

// Whether the file at `copy` is whole and equal to the one at `original`:
// the same bytes, or the same link target for symbolic links.
bool sameContent(const std::string& original, const std::string& copy) {
    struct stat a {
    }, b{};
    if (::lstat(original.c_str(), &a) != 0 || ::lstat(copy.c_str(), &b) != 0) {
        return false;
    }
    if (S_ISLNK(a.st_mode) && S_ISLNK(b.st_mode)) {
        return linkTarget(original) == linkTarget(copy);
    }
    return S_ISREG(a.st_mode) && S_ISREG(b.st_mode) && a.st_size == b.st_size &&
           sameBytes(original, copy);
}

void removeAndSync(const std::string& path) {
    if (::unlink(path.c_str()) == 0) {
        syncFolder(folderOf(path));
    }
}

std::string readSmallFile(int fd) {
    std::string bytes(kMaxRecord, '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::pread(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    bytes.resize(done);
    return bytes;
}

} // namespace

bool settleMove(const MoveIntent& m) {
    // A folder that is not there (a USB stick not plugged in) is settled
    // later: what stands in it cannot be judged now.
    struct stat folder {};
    if (::stat(folderOf(m.source).c_str(), &folder) != 0 ||
        ::stat(folderOf(m.target).c_str(), &folder) != 0) {
        return false;
    }
    struct stat source {
    }, target{}, temporary{};
    const bool hasSource = ::lstat(m.source.c_str(), &source) == 0;
    const bool hasTarget = ::lstat(m.target.c_str(), &target) == 0;
    const bool reserved = m.phase == MoveIntent::Phase::Reserved;
    // Our placeholder: the empty file that held the target name. A file that
    // stands there with content is never ours to remove.
    const bool placeholderAtTarget = reserved && hasTarget && S_ISREG(target.st_mode) &&
                                     target.st_size == 0 &&
                                     !(hasSource && sameFile(source, target));
    if (m.temporary.empty()) {
        // Within one file system the rename either happened (the source is
        // gone) or it did not, and then only the placeholder is left over.
        if (hasSource && placeholderAtTarget) {
            removeAndSync(m.target);
        }
        return true;
    }
    if (::lstat(m.temporary.c_str(), &temporary) == 0) {
        if (hasTarget && sameFile(temporary, target)) {
            // Linked into place: the copy is whole, the source may go.
            if (hasSource && sameContent(m.source, m.target)) {
                removeAndSync(m.source);
            }
        } else if (placeholderAtTarget) {
            removeAndSync(m.target);
        }
        removeAndSync(m.temporary);
        return true;
    }
    // The temporary is gone: it was renamed into place (or never made). A
    // whole copy at the target finishes the move.
    if (hasSource && hasTarget && !sameFile(source, target) && sameContent(m.source, m.target)) {
        removeAndSync(m.source);
    }
    return true;
}

int recoverMoves(const std::string& journalFolder) {
    DIR* dir = ::opendir(journalFolder.c_str());
    if (!dir) {
        return 0;
    }
    std::vector<std::string> journals;
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name.size() > sizeof kSuffix - 1 &&
            name.compare(name.size() - (sizeof kSuffix - 1), std::string::npos, kSuffix) == 0) {
            journals.push_back(journalFolder + name);
        }
    }
    ::closedir(dir);
    int settled = 0;
    for (const std::string& path : journals) {
        FileDescriptor fd(::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
        // A journal whose mover still runs holds its lock.
        if (!fd.valid() || ::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
            continue;
        }
        MoveIntent intent;
        if (decode(readSmallFile(fd.get()), intent) && !settleMove(intent)) {
            continue;
        }
        ::unlink(path.c_str());
        ++settled;
    }
    if (settled > 0) {
        syncFolder(journalFolder);
    }
    return settled;
}

MoveJournal::~MoveJournal() {
    if (fd_.valid()) {
        ::unlink(path_.c_str());
    }
}

bool MoveJournal::open() {
    if (fd_.valid()) {
        return true;
    }
    if (folder_.empty() || !makeFolders(folder_)) {
        return false;
    }
    recoverMoves(folder_);
    std::random_device random;
    for (int attempt = 0; attempt < 10; ++attempt) {
        char name[64];
        std::snprintf(name, sizeof name, "%d-%08x%s", static_cast<int>(::getpid()), random(),
                      kSuffix);
        FileDescriptor fd(
            ::open((folder_ + name).c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (!fd.valid()) {
            if (errno == EEXIST) {
                continue;
            }
            return false;
        }
        if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
            ::unlink((folder_ + name).c_str());
            return false;
        }
        path_ = folder_ + name;
        fd_ = std::move(fd);
        syncFolder(folder_);
        return true;
    }
    return false;
}

bool MoveJournal::record(const MoveIntent& intent, bool durable) {
    if (!open()) {
        return false;
    }
    const std::string bytes = encode(intent);
    if (bytes.size() > kMaxRecord || !writeAllAt(fd_.get(), bytes)) {
        clear();
        return false;
    }
    return !durable || ::fdatasync(fd_.get()) == 0;
}

void MoveJournal::clear() {
    if (fd_.valid()) {
        (void)::ftruncate(fd_.get(), 0);
    }
}

} // namespace harpoly
