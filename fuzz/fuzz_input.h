#pragma once

// Helpers shared by the fuzz targets: the input as a file for readers that
// take a path, and a quiet way to run a reader whose errors are expected.

#include "core/errors.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace harpoly::fuzz {

// The input written to a file in memory, named by a path (/proc/self/fd/N).
// One file serves every run of the process.
inline std::string asFile(const std::uint8_t* data, std::size_t size) {
    static const int fd = ::memfd_create("harpoly-fuzz", MFD_CLOEXEC);
    (void)!::ftruncate(fd, 0);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pwrite(fd, data + done, size - done, static_cast<off_t>(done));
        if (n <= 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    return "/proc/self/fd/" + std::to_string(fd);
}

// Runs `read`; the reader's own errors are outcomes, anything else escapes
// and ends the run as a finding.
template <typename F> void expectingErrors(F&& read) {
    try {
        read();
    } catch (const Error&) {
    }
}

} // namespace harpoly::fuzz
