#pragma once

#include <optional>
#include <string>
#include <sys/types.h>

namespace harpoly {

// Where the lock that keeps the program to one copy per user lives:
// $XDG_RUNTIME_DIR/harpoly.lock, else /tmp/harpoly-<uid>.lock.
std::string singleInstanceLockPath(const char* xdgRuntimeDir, uid_t uid);

// An exclusive flock on the lock file, held for the life of the object.
class SingleInstanceLock {
public:
    // The lock, or nothing when another process holds it or the file cannot
    // be opened.
    static std::optional<SingleInstanceLock> acquire(const std::string& path);

    SingleInstanceLock(SingleInstanceLock&& other) noexcept;
    SingleInstanceLock& operator=(SingleInstanceLock&& other) noexcept;
    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;
    ~SingleInstanceLock();

private:
    explicit SingleInstanceLock(int fd) : fd_(fd) {}
    int fd_ = -1;
};

} // namespace harpoly
