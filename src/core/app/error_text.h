#pragma once

#include <string>

namespace harpoly {

// The text shown for an error kind: five kinds have a Japanese text of their
// own, every other kind is shown by its name.
std::string errorShownName(const std::string& kindName);

// The whole information-panel line for an error.
std::string errorInfoLine(const std::string& kindName);

} // namespace harpoly
