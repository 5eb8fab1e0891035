#include "core/app/activation.h"

#include <sys/stat.h>

namespace harpoly {

bool isExistingDirectory(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string existingFolderOr(const std::string& folder, const std::string& fallback) {
    return isExistingDirectory(folder) ? folder : fallback;
}

} // namespace harpoly
