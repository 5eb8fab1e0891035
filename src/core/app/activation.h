#pragma once

#include <string>

namespace harpoly {

// Whether `path` names an existing directory (following symbolic links).
bool isExistingDirectory(const std::string& path);

// The folder itself while it exists, else `fallback`: a display or output
// folder that has gone away is replaced by the program folder.
std::string existingFolderOr(const std::string& folder, const std::string& fallback);

} // namespace harpoly
