#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace harpoly {

// The first bytes of a file, read with as few system calls as possible.
struct FileBytes {
    std::unique_ptr<unsigned char[]> data; // not zero-filled beyond `size`
    std::size_t size = 0;                  // bytes read (at most the cap)
    std::uint64_t fileSize = 0;            // the file's whole size
    bool shortened() const { return fileSize > size; }
};

// Reads at most `cap` bytes from the start of a regular file. Throws
// Error(kind::FOpen) when the file cannot be opened or is not a regular file,
// Error(kind::ReadError) when a read fails.
FileBytes readFileHead(const std::string& path, std::size_t cap);

} // namespace harpoly
