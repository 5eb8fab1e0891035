#include "core/platform/file_move.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

namespace harpoly {

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    ~FileDescriptor() { reset(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now and reports whether the close succeeded (write-back errors
    // of some file systems only show here).
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }
    void reset() {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }

private:
    int fd_;
};

// Removes the temporary name again unless the move went through.
class TemporaryName {
public:
    explicit TemporaryName(std::string path) : path_(std::move(path)) {}
    ~TemporaryName() {
        if (!path_.empty()) {
            ::unlink(path_.c_str());
        }
    }
    TemporaryName(const TemporaryName&) = delete;
    TemporaryName& operator=(const TemporaryName&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

int renameNoReplace(const char* from, const char* to) {
#ifdef RENAME_NOREPLACE
    return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE);
#else
    return static_cast<int>(::syscall(SYS_renameat2, AT_FDCWD, from, AT_FDCWD, to, 1u));
#endif
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

std::string temporaryPattern(const std::string& to) {
    return folderOf(to) + ".harpoly-move-XXXXXX";
}

bool writeAll(int fd, const char* data, std::size_t size, WriteFn write) {
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

void syncFolder(const std::string& folder) {
    FileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.valid()) {
        ::fsync(dir.get());
    }
}

// Puts the finished temporary at `to` without replacing anything, then takes
// the source away. When the source cannot be removed the new link goes again,
// so that the file never stands in both places.
bool linkIntoPlace(const std::string& temporary, const std::string& from, const std::string& to) {
    if (::linkat(AT_FDCWD, temporary.c_str(), AT_FDCWD, to.c_str(), 0) != 0) {
        return false;
    }
    syncFolder(folderOf(to));
    if (::unlink(from.c_str()) != 0) {
        ::unlink(to.c_str());
        return false;
    }
    return true;
}

bool copySymlinkAcross(const std::string& from, const std::string& to, const struct stat& st) {
    std::vector<char> target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1);
    const ssize_t n = ::readlink(from.c_str(), target.data(), target.size());
    if (n < 0 || static_cast<std::size_t>(n) >= target.size()) {
        return false;
    }
    target[static_cast<std::size_t>(n)] = '\0';
    // mkstemp reserves a unique name; the link takes that name's place.
    std::string pattern = temporaryPattern(to);
    FileDescriptor placeholder(::mkostemp(pattern.data(), O_CLOEXEC));
    if (!placeholder.valid()) {
        return false;
    }
    placeholder.reset();
    TemporaryName temporary(pattern);
    if (::unlink(pattern.c_str()) != 0 || ::symlink(target.data(), pattern.c_str()) != 0) {
        return false;
    }
    return linkIntoPlace(temporary.path(), from, to);
}

bool copyFileAcross(const std::string& from, const std::string& to, WriteFn write) {
    struct stat st {};
    if (::lstat(from.c_str(), &st) != 0) {
        return false;
    }
    if (S_ISLNK(st.st_mode)) {
        return copySymlinkAcross(from, to, st);
    }
    if (!S_ISREG(st.st_mode)) {
        return false;
    }
    FileDescriptor source(::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY));
    struct stat opened {};
    if (!source.valid() || ::fstat(source.get(), &opened) != 0 || opened.st_ino != st.st_ino ||
        opened.st_dev != st.st_dev) {
        return false;
    }

    std::string pattern = temporaryPattern(to);
    FileDescriptor copy(::mkostemp(pattern.data(), O_CLOEXEC));
    if (!copy.valid()) {
        return false;
    }
    TemporaryName temporary(pattern);

    std::vector<char> buffer(1 << 20);
    for (;;) {
        const ssize_t n = ::read(source.get(), buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return false;
        }
        if (n == 0) {
            break;
        }
        if (!writeAll(copy.get(), buffer.data(), static_cast<std::size_t>(n), write)) {
            return false;
        }
    }
    // The moved file keeps its owner where we may set it, its permissions and
    // its times, as a rename would have kept them.
    if (::fchown(copy.get(), opened.st_uid, opened.st_gid) != 0) {
        // Only a privileged user may give a file away; ours is fine then.
    }
    if (::fchmod(copy.get(), opened.st_mode & 07777) != 0) {
        return false;
    }
    const timespec times[2] = {opened.st_atim, opened.st_mtim};
    ::futimens(copy.get(), times);
    if (::fsync(copy.get()) != 0 || !copy.close()) {
        return false;
    }
    return linkIntoPlace(temporary.path(), from, to);
}

ssize_t systemWrite(int fd, const void* data, std::size_t size) {
    return ::write(fd, data, size);
}

} // namespace

bool moveFileNoReplace(const std::string& from, const std::string& to) {
    return moveFileNoReplaceUsing(from, to, systemWrite);
}

bool moveFileNoReplaceUsing(const std::string& from, const std::string& to, WriteFn write) {
    if (renameNoReplace(from.c_str(), to.c_str()) == 0) {
        return true;
    }
    if (errno == EXDEV) {
        return copyFileAcross(from, to, write);
    }
    if (errno == EINVAL || errno == ENOSYS) {
        // A file system without the no-replace rename: a hard link fails on an
        // existing name just the same.
        if (::link(from.c_str(), to.c_str()) != 0) {
            return false;
        }
        if (::unlink(from.c_str()) != 0) {
            ::unlink(to.c_str());
            return false;
        }
        return true;
    }
    return false;
}

} // namespace harpoly
