#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace harpoly {

// The first bytes of a file, read with as few system calls as possible.
struct FileBytes {
    std::unique_ptr<unsigned char[]> data; // not zero-filled beyond `size`
    std::size_t size = 0;                  // bytes read (at most the cap)
    std::uint64_t fileSize = 0;            // the file's whole size
    bool shortened() const { return fileSize > size; }
    std::string_view view() const { return {reinterpret_cast<const char*>(data.get()), size}; }
};

// Reading has no cap beyond what memory allows.
inline constexpr std::size_t kNoReadCap = SIZE_MAX;

// A regular file opened for reading. The open never waits: a FIFO or a
// device in the file's place is refused instead of hanging the program.
class ReadableFile {
public:
    // Throws Error(kind::FOpen) when the file cannot be opened or is not a
    // regular file.
    explicit ReadableFile(const std::string& path);
    // Nothing when `path` does not exist (or a folder of it is missing);
    // every other failure throws as the constructor does.
    static std::optional<ReadableFile> openIfExists(const std::string& path);

    ReadableFile(ReadableFile&& other) noexcept;
    ReadableFile& operator=(ReadableFile&&) = delete;
    ~ReadableFile();

    int fd() const { return fd_; }
    std::uint64_t size() const { return size_; } // as it was when opened

    // Reads from the current position to the end of the file, at most `cap`
    // bytes. A file that grew since it was opened is read on to its new end.
    // Throws Error(kind::ReadError) when a read fails.
    FileBytes read(std::size_t cap = kNoReadCap);

    // Reads up to `length` bytes at `offset` into `out` without moving the
    // file position; returns how many were read (fewer at the end of the
    // file). Throws Error(kind::ReadError) when the read fails.
    std::size_t readAt(std::uint64_t offset, std::uint8_t* out, std::size_t length);

private:
    ReadableFile(int fd, const std::string& path);
    void adopt(int fd, const std::string& path); // closes `fd` when it is no regular file

    int fd_ = -1;
    std::uint64_t size_ = 0;
    std::string path_;
};

// At most `cap` bytes from the start of a regular file; errors as
// ReadableFile's.
FileBytes readFileHead(const std::string& path, std::size_t cap);

// The whole content of a file; nothing when it does not exist (or a folder of
// its path is missing). Any other failure, a failed read included, throws
// harpoly::Error(kind::FOpen).
std::optional<std::string> readWholeFile(const std::string& path);

// Replaces the file at `path` (or creates it) with `bytes`, never leaving a
// half-written file: the bytes go to a new file in the same folder, which is
// flushed and then renamed over the old one, and the folder is flushed
// after the rename. An existing file keeps its permission bits; a symbolic
// link is followed and its target replaced. On failure the old file stays as
// it was and harpoly::Error(kind::FCreate) is thrown.
void writeWholeFile(const std::string& path, std::string_view bytes);

// Removes the temporaries that writeWholeFile left beside `path` when a
// crash or a kill ended it between its creation and its rename.
// writeWholeFile does so itself; start-up calls it for the settings file.
void removeStaleTemporaries(const std::string& path);

// Writes `bytes` to `path` in place, creating or emptying the file: cheaper
// than writeWholeFile (no flush, no rename) for files the program makes
// fresh. Throws Error(kind::FCreate) when the file cannot be created or
// written.
void overwriteFile(const std::string& path, std::string_view bytes);
inline void overwriteFile(const std::string& path, std::span<const std::uint8_t> bytes) {
    overwriteFile(path,
                  std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

} // namespace harpoly
