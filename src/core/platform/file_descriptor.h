#pragma once

#include <string>
#include <utility>

namespace harpoly {

// Owns a file descriptor and closes it.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept {
        if (this != &other) {
            reset();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { reset(); }

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    int release() { return std::exchange(fd_, -1); }
    void reset();
    // Closes now and tells whether the close succeeded (a late write error
    // of some file systems shows up only here).
    bool close();

private:
    int fd_;
};

// The folder part of `path`, ending in "/" ("./" when there is none).
std::string folderOf(const std::string& path);

// Flushes a folder's entries to disk, so that a file created, renamed or
// removed in it stays so after a crash. False when the folder cannot be
// opened or flushed.
bool syncFolder(const std::string& folder);

} // namespace harpoly
