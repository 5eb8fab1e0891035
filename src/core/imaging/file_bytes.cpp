#include "imaging/file_bytes.h"

#include "errors.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace harpoly {

namespace {
struct Fd {
    int fd;
    ~Fd() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
};
} // namespace

FileBytes readFileHead(const std::string& path, std::size_t cap) {
    Fd file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    if (file.fd < 0) {
        raise(kind::FOpen, "cannot open " + path);
    }
    struct stat st {};
    if (::fstat(file.fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        raise(kind::FOpen, "not a regular file: " + path);
    }
    FileBytes out;
    out.fileSize = static_cast<std::uint64_t>(st.st_size);
    const std::size_t want = out.fileSize < cap ? static_cast<std::size_t>(out.fileSize) : cap;
    out.data = std::make_unique_for_overwrite<unsigned char[]>(want + 1);
    // The size may change under us; read until the cap or the end of the file.
    while (out.size < want) {
        const ssize_t n = ::read(file.fd, out.data.get() + out.size, want - out.size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            raise(kind::ReadError, "cannot read " + path);
        }
        if (n == 0) {
            break;
        }
        out.size += static_cast<std::size_t>(n);
    }
    if (out.size < want) {
        out.fileSize = out.size;
    }
    return out;
}

} // namespace harpoly
