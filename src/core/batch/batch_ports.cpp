#include "batch/batch_ports.h"

namespace harpoly {

std::string pathInFolder(const std::string& folder, const std::string& name) {
    if (folder.empty() || folder.back() == '/') {
        return folder + name;
    }
    return folder + '/' + name;
}

} // namespace harpoly
