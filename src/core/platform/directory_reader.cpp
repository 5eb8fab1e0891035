#include "core/platform/directory_reader.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace harpoly {

DirectoryReader::DirectoryReader(const std::string& folder) {
    dir_ = ::opendir(folder.c_str());
}

DirectoryReader::~DirectoryReader() {
    if (dir_) {
        ::closedir(dir_);
    }
}

bool DirectoryReader::next() {
    if (!dir_) {
        return false;
    }
    const dirent* e = ::readdir(dir_);
    if (!e) {
        // The end, or a read error: either way no more entries.
        ::closedir(dir_);
        dir_ = nullptr;
        return false;
    }
    name_ = e->d_name;
    type_ = e->d_type;
    return true;
}

bool DirectoryReader::mayBeRegularFile() const {
    return type_ == DT_REG || type_ == DT_LNK || type_ == DT_UNKNOWN;
}

bool DirectoryReader::isRegularFile() const {
    if (type_ == DT_REG) {
        return true;
    }
    if (!mayBeRegularFile() || !dir_) {
        return false;
    }
    // Follows a symbolic link; a broken one fails and is no regular file.
    struct stat st {};
    return ::fstatat(::dirfd(dir_), std::string(name_).c_str(), &st, 0) == 0 && S_ISREG(st.st_mode);
}

std::vector<std::string> listRegularFiles(const std::string& folder) {
    std::vector<std::string> names;
    DirectoryReader reader(folder);
    while (reader.next()) {
        if (reader.isRegularFile()) {
            names.emplace_back(reader.name());
        }
    }
    return names;
}

} // namespace harpoly
