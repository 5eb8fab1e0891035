#include "core/platform/whole_file.h"

#include "core/errors.h"
#include "core/platform/file_descriptor.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace harpoly {

namespace {

std::string systemMessage(const std::string& what, const std::string& path, int err) {
    return what + " " + path + ": " + std::strerror(err);
}

// A symbolic link is replaced through its target, so that a linked settings
// file stays linked.
std::string resolvedTarget(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char buf[PATH_MAX];
        if (::realpath(path.c_str(), buf)) {
            return buf;
        }
    }
    return path;
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// O_NONBLOCK lets the open of a FIFO return at once, so that the check of
// the file's type refuses it; reads of a regular file ignore the flag.
int openForReading(const std::string& path) {
    return ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
}

[[noreturn]] void raiseCannotOpen(const std::string& path) {
    raise(kind::FOpen, systemMessage("cannot open", path, errno));
}

} // namespace

ReadableFile::ReadableFile(const std::string& path) {
    const int fd = openForReading(path);
    if (fd < 0) {
        raiseCannotOpen(path);
    }
    adopt(fd, path);
}

std::optional<ReadableFile> ReadableFile::openIfExists(const std::string& path) {
    const int fd = openForReading(path);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            return std::nullopt;
        }
        raiseCannotOpen(path);
    }
    return ReadableFile(fd, path);
}

ReadableFile::ReadableFile(int fd, const std::string& path) {
    adopt(fd, path);
}

void ReadableFile::adopt(int fd, const std::string& path) {
    FileDescriptor file(fd);
    struct stat st {};
    if (::fstat(file.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        raise(kind::FOpen, "not a regular file: " + path);
    }
    path_ = path;
    size_ = static_cast<std::uint64_t>(st.st_size);
    fd_ = file.release();
}

ReadableFile::ReadableFile(ReadableFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), size_(other.size_), path_(std::move(other.path_)) {}

ReadableFile::~ReadableFile() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

FileBytes ReadableFile::read(std::size_t cap) {
    FileBytes out;
    // Room for the size the file had when opened, and one byte more: a read
    // that returns nothing there confirms the end, one that fills it tells a
    // file that has grown.
    std::size_t room = size_ < cap ? static_cast<std::size_t>(size_) + 1 : cap;
    out.data = std::make_unique_for_overwrite<unsigned char[]>(std::max<std::size_t>(room, 1));
    bool atEnd = false;
    for (;;) {
        if (out.size == room) {
            if (room == cap) {
                break;
            }
            const std::size_t grown = room > cap / 2 ? cap : room * 2;
            auto bigger = std::make_unique_for_overwrite<unsigned char[]>(grown);
            std::memcpy(bigger.get(), out.data.get(), out.size);
            out.data = std::move(bigger);
            room = grown;
        }
        const ssize_t n = ::read(fd_, out.data.get() + out.size, room - out.size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            raise(kind::ReadError, systemMessage("cannot read", path_, errno));
        }
        if (n == 0) {
            atEnd = true;
            break;
        }
        out.size += static_cast<std::size_t>(n);
    }
    out.fileSize = atEnd ? out.size : std::max<std::uint64_t>(size_, out.size);
    return out;
}

std::size_t ReadableFile::readAt(std::uint64_t offset, std::uint8_t* out, std::size_t length) {
    std::size_t done = 0;
    while (done < length) {
        if (offset + done > static_cast<std::uint64_t>(INT64_MAX)) {
            break;
        }
        const ssize_t n =
            ::pread(fd_, out + done, length - done, static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            raise(kind::ReadError, systemMessage("cannot read", path_, errno));
        }
        if (n == 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    return done;
}

FileBytes readFileHead(const std::string& path, std::size_t cap) {
    return ReadableFile(path).read(cap);
}

std::optional<std::string> readWholeFile(const std::string& path) {
    std::optional<ReadableFile> file = ReadableFile::openIfExists(path);
    if (!file) {
        return std::nullopt;
    }
    try {
        return std::string(file->read().view());
    } catch (const Error& e) {
        // Whatever keeps the content from us is a failure to open it.
        raise(kind::FOpen, e.what());
    }
}

namespace {

// The temporaries of `target` are named after it: target.tmp-PID-N.
std::string temporaryPrefix(const std::string& target) {
    return target + ".tmp-";
}

// Writes `bytes` to a new temporary beside `target` and renames it over
// `target`. The temporary is locked until the rename, which tells a live
// writer's temporary from one that a crash left behind. False with `err`
// set when a step fails; `vanished` when the temporary was taken away
// before its rename (a cleaner that came between its creation and its lock).
bool replaceThroughTemporary(const std::string& target, std::string_view bytes,
                             const struct stat* old, int& err, const char*& what, bool& vanished) {
    static std::atomic<unsigned> counter{0};
    std::string temp;
    FileDescriptor fd;
    for (int attempt = 0; attempt < 100 && !fd.valid(); ++attempt) {
        temp =
            temporaryPrefix(target) + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        fd = FileDescriptor(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (!fd.valid() && errno != EEXIST) {
            break;
        }
    }
    what = "cannot create";
    if (!fd.valid()) {
        err = errno;
        return false;
    }
    ::flock(fd.get(), LOCK_EX);
    const auto fail = [&](const char* step) {
        err = errno;
        what = step;
        ::unlink(temp.c_str());
        return false;
    };
    if (old) {
        (void)::fchmod(fd.get(), old->st_mode & 07777);
    }
    if (!writeAll(fd.get(), bytes)) {
        return fail("cannot write");
    }
    if (::fsync(fd.get()) != 0) {
        return fail("cannot flush");
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        vanished = errno == ENOENT;
        return fail("cannot replace");
    }
    // The new name is on disk before we say the file is saved.
    syncFolder(folderOf(target));
    if (!fd.close()) {
        err = errno;
        what = "cannot close";
        return false;
    }
    return true;
}

} // namespace

void removeStaleTemporaries(const std::string& path) {
    const std::string target = resolvedTarget(path);
    const std::string folder = folderOf(target);
    const std::string prefix = temporaryPrefix(target).substr(folder.size());
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) {
        return;
    }
    std::vector<std::string> names;
    while (const dirent* e = ::readdir(dir)) {
        if (std::string_view(e->d_name).starts_with(prefix)) {
            names.emplace_back(e->d_name);
        }
    }
    ::closedir(dir);
    for (const std::string& name : names) {
        const std::string temp = folder + name;
        FileDescriptor fd(::open(temp.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
        struct stat st {};
        // A writer that still runs holds the lock of its temporary.
        if (fd.valid() && ::fstat(fd.get(), &st) == 0 && S_ISREG(st.st_mode) &&
            ::flock(fd.get(), LOCK_EX | LOCK_NB) == 0) {
            ::unlink(temp.c_str());
        }
    }
}

void writeWholeFile(const std::string& path, std::string_view bytes) {
    const std::string target = resolvedTarget(path);
    removeStaleTemporaries(target);

    struct stat old {};
    const bool replacing = ::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    int err = 0;
    const char* what = "";
    for (int attempt = 0; attempt < 3; ++attempt) {
        bool vanished = false;
        if (replaceThroughTemporary(target, bytes, replacing ? &old : nullptr, err, what,
                                    vanished)) {
            return;
        }
        if (!vanished) {
            break;
        }
    }
    raise(kind::FCreate, systemMessage(what, path, err));
}

void overwriteFile(const std::string& path, std::string_view bytes) {
    // O_NONBLOCK: a FIFO in the file's place, with no reader, fails at once
    // instead of holding the window until some program reads it.
    FileDescriptor fd(
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK, 0666));
    if (fd.get() < 0) {
        raise(kind::FCreate, systemMessage("cannot create", path, errno));
    }
    if (!writeAll(fd.get(), bytes) || !fd.close()) {
        raise(kind::FCreate, systemMessage("cannot write", path, errno));
    }
}

} // namespace harpoly
