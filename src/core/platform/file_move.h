#pragma once

#include <cstddef>
#include <string>
#include <sys/types.h>

namespace harpoly {

// The byte writer used by the copy of a move across file systems. Tests
// replace it to make a copy fail half-way.
using WriteFn = ssize_t (*)(int fd, const void* data, std::size_t size);

// Moves the file `from` to the path `to` and never replaces a file that
// already exists at `to`. Within one file system this is a single rename.
// Across file systems the file is copied to a temporary name in the target
// folder, flushed to disk, linked into place (which fails when `to` exists)
// and only then removed from its source; any failure removes the temporary
// and leaves the source as it was. A file is never lost or duplicated.
// Returns whether the file now stands at `to` and no longer at `from`.
[[nodiscard]] bool moveFileNoReplace(const std::string& from, const std::string& to);
// The same with the copy's writes going through `write`.
[[nodiscard]] bool moveFileNoReplaceUsing(const std::string& from, const std::string& to,
                                          WriteFn write);

} // namespace harpoly
