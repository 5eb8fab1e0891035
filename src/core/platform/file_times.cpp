#include "core/platform/file_times.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace harpoly {

bool setLastWriteTime(const std::string& path, std::int64_t seconds, long nanoseconds) {
    // O_NONBLOCK keeps a name that has meanwhile become a FIFO from blocking us.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        return false;
    }
    timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT; // access time stays as it is
    times[1].tv_sec = static_cast<time_t>(seconds);
    times[1].tv_nsec = nanoseconds;
    const bool ok = ::futimens(fd, times) == 0;
    return ::close(fd) == 0 && ok;
}

} // namespace harpoly
