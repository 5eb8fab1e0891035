#include "imaging/byte_file.h"

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

std::vector<std::uint8_t> readByteFile(const std::string& path) {
    Fd f{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    struct stat st {};
    if (f.fd < 0 || ::fstat(f.fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        raise(kind::FOpen, "cannot open " + path);
    }
    std::vector<std::uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(st.st_size));
    std::uint8_t buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(f.fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            raise(kind::ReadError, "cannot read " + path);
        }
        if (n == 0) {
            break;
        }
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    return bytes;
}

void writeByteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    Fd f{::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666)};
    if (f.fd < 0) {
        raise(kind::FCreate, "cannot create " + path);
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(f.fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            raise(kind::FCreate, "cannot write " + path);
        }
        done += static_cast<std::size_t>(n);
    }
    const int fd = f.fd;
    f.fd = -1;
    if (::close(fd) != 0) {
        raise(kind::FCreate, "cannot write " + path);
    }
}

} // namespace harpoly
