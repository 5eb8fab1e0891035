#include "core/folders/folder_reader.h"

#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>

namespace harpoly {

namespace {
struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};
} // namespace

bool SystemFolderReader::subFolders(const std::string& folder,
                                    std::vector<std::string>& names) const {
    std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str()));
    if (!dir) {
        return false;
    }
    const int fd = ::dirfd(dir.get());
    while (const dirent* entry = ::readdir(dir.get())) {
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) {
            continue;
        }
        bool isFolder = entry->d_type == DT_DIR;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            // A link counts by what it points at; it is only followed further
            // when its own folder is expanded.
            struct stat st {};
            isFolder = ::fstatat(fd, name, &st, 0) == 0 && S_ISDIR(st.st_mode);
        }
        if (isFolder) {
            names.emplace_back(name);
        }
    }
    return true;
}

} // namespace harpoly
