#pragma once

#include <string>

namespace harpoly {

// The folder of the running executable (from /proc/self/exe), ending in "/".
// Empty when it cannot be read.
std::string programFolder();

// Creates `folder` and every missing folder above it (mode 0700 for the new
// ones). Tells whether the folder exists afterwards.
bool makeFolders(const std::string& folder);

} // namespace harpoly
