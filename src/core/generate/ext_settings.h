#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace harpoly {

// The extension list under `key` in the [Ext] section of the settings file,
// read afresh from disk and split as comma text. A missing or unreadable
// file (a FIFO included, which is never waited on), section or key gives an
// empty list.
std::vector<std::string> readExtList(const std::string& settingsPath, std::string_view key);

} // namespace harpoly
