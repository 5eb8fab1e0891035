#include "core/batch/batch_ports.h"

namespace harpoly {

std::string pathInFolder(const std::string& folder, const std::string& name) {
    // Appended directly, as the file list does when it searches the folder: a
    // folder value without its final "/" then names the same files the list shows.
    return folder + name;
}

} // namespace harpoly
