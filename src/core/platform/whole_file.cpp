#include "core/platform/whole_file.h"

#include "core/errors.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace harpoly {

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }
    // Closes now and tells whether the close succeeded (a late write error
    // of some file systems shows up only here).
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

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

void writeWholeFile(const std::string& path, std::string_view bytes) {
    static std::atomic<unsigned> counter{0};
    const std::string target = resolvedTarget(path);

    struct stat old {};
    const bool replacing = ::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode);

    std::string temp;
    int rawFd = -1;
    for (int attempt = 0; attempt < 100 && rawFd < 0; ++attempt) {
        temp = target + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        rawFd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (rawFd < 0 && errno != EEXIST) {
            break;
        }
    }
    if (rawFd < 0) {
        raise(kind::FCreate, systemMessage("cannot create", path, errno));
    }
    FileDescriptor fd(rawFd);
    const auto fail = [&](const char* what) {
        const int err = errno;
        ::unlink(temp.c_str());
        raise(kind::FCreate, systemMessage(what, path, err));
    };
    if (replacing) {
        (void)::fchmod(fd.get(), old.st_mode & 07777);
    }
    if (!writeAll(fd.get(), bytes)) {
        fail("cannot write");
    }
    if (::fsync(fd.get()) != 0) {
        fail("cannot flush");
    }
    if (!fd.close()) {
        fail("cannot close");
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        fail("cannot replace");
    }
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
