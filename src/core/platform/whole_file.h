#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace harpoly {

// The whole content of a file; nothing when it does not exist (or a folder of
// its path is missing). Any other failure throws harpoly::Error(kind::FOpen).
std::optional<std::string> readWholeFile(const std::string& path);

// Replaces the file at `path` (or creates it) with `bytes`, never leaving a
// half-written file: the bytes go to a new file in the same folder, which is
// flushed and then renamed over the old one. An existing file keeps its
// permission bits; a symbolic link is followed and its target replaced. On
// failure the old file stays as it was and harpoly::Error(kind::FCreate) is
// thrown.
void writeWholeFile(const std::string& path, std::string_view bytes);

} // namespace harpoly
