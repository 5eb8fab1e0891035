#include "core/platform/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace harpoly {

std::string singleInstanceLockPath(const char* xdgRuntimeDir, uid_t uid) {
    if (xdgRuntimeDir != nullptr && xdgRuntimeDir[0] != '\0') {
        std::string dir = xdgRuntimeDir;
        if (dir.back() != '/') {
            dir += '/';
        }
        return dir + "harpoly.lock";
    }
    return "/tmp/harpoly-" + std::to_string(uid) + ".lock";
}

std::optional<SingleInstanceLock> SingleInstanceLock::acquire(const std::string& path) {
    // O_NOFOLLOW: in /tmp another user could plant a link under our name.
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        return std::nullopt;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return std::nullopt;
    }
    return SingleInstanceLock(fd);
}

SingleInstanceLock::SingleInstanceLock(SingleInstanceLock&& other) noexcept : fd_(other.fd_) {
    other.fd_ = -1;
}

SingleInstanceLock& SingleInstanceLock::operator=(SingleInstanceLock&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

SingleInstanceLock::~SingleInstanceLock() {
    if (fd_ >= 0) {
        ::close(fd_); // closing the last descriptor releases the flock
    }
}

} // namespace harpoly
