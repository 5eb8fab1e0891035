#pragma once

#include "core/settings/shortcut_code.h"

#include <string>

namespace harpoly {

// The text shown beside a menu item for its key: "Shift+", "Ctrl+" and "Alt+"
// (in that order) before the key's name ("Enter", "BkSp", "Ins", "Esc",
// "Space", "Tab", "PgUp", "PgDn", "End", "Home", "Left", "Up", "Right",
// "Down", "Del", a letter or digit, "F1" to "F12"). Empty for no key (0) and
// for a key without a name here.
std::string keyName(ShortcutCode code);

} // namespace harpoly
