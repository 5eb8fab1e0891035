#pragma once

#include <cstdint>
#include <string>

namespace harpoly {

// Sets the last-write (modification) time of the file at `path` to the UTC
// moment `seconds` + `nanoseconds` since 1970, keeping its access time. The
// time is set on the file opened for writing, so a file that cannot be opened
// for writing (read-only, a folder, gone) keeps its times. Returns success.
[[nodiscard]] bool setLastWriteTime(const std::string& path, std::int64_t seconds,
                                    long nanoseconds = 0);

} // namespace harpoly
