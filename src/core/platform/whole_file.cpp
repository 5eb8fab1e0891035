#include "platform/whole_file.h"

#include "errors.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

} // namespace

std::optional<std::string> readWholeFile(const std::string& path) {
    // O_NONBLOCK: a FIFO in the file's place must not hang the program.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            return std::nullopt;
        }
        raise(kind::FOpen, systemMessage("cannot open", path, errno));
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        raise(kind::FOpen, "not a regular file: " + path);
    }
    std::string content;
    content.reserve(static_cast<std::size_t>(st.st_size));
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            raise(kind::FOpen, systemMessage("cannot read", path, errno));
        }
        if (n == 0) {
            break;
        }
        content.append(buf, static_cast<std::size_t>(n));
    }
    return content;
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

} // namespace harpoly
