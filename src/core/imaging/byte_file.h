#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace harpoly {

// The whole content of a file, read once. Throws Error(kind::FOpen) when the
// file cannot be opened or read.
std::vector<std::uint8_t> readByteFile(const std::string& path);

// Writes `bytes` to `path`, creating or emptying the file. Throws
// Error(kind::FCreate) when the file cannot be created or written.
void writeByteFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

} // namespace harpoly
