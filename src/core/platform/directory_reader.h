#pragma once

#include <dirent.h>
#include <string>
#include <string_view>
#include <vector>

namespace harpoly {

// Walks the entries of one folder in the file system's order. Names are the
// raw bytes of the file system. A folder that does not exist or cannot be
// read has no entries; nothing is reported.
class DirectoryReader {
public:
    explicit DirectoryReader(const std::string& folder);
    DirectoryReader(const DirectoryReader&) = delete;
    DirectoryReader& operator=(const DirectoryReader&) = delete;
    ~DirectoryReader();

    // Moves to the next entry; false at the end.
    bool next();
    std::string_view name() const { return name_; }
    // False when the entry's type already shows it is no regular file (a
    // folder, FIFO, socket or device); costs no system call.
    bool mayBeRegularFile() const;
    // Whether the entry is a regular file or a symbolic link to one. Asks the
    // file system only when the entry's type does not tell.
    bool isRegularFile() const;

private:
    DIR* dir_ = nullptr;
    std::string_view name_;
    unsigned char type_ = 0;
};

// The names of the regular files of `folder` (symbolic links to regular files
// included, hidden files too), in the file system's order.
std::vector<std::string> listRegularFiles(const std::string& folder);

} // namespace harpoly
