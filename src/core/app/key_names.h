#pragma once

#include "core/settings/shortcut_code.h"

#include <string>

namespace harpoly {

// The text shown for a key, beside a menu item and in a key field alike:
// "Shift+", "Ctrl+" and "Alt+" (in that order) before the key's name
// ("Enter", "BkSp", "Ins", "Esc", "Space", "Tab", "PgUp", "PgDn", "End",
// "Home", "Left", "Up", "Right", "Down", "Del", "Pause", "PrtSc", a letter or
// digit, "F1" to "F24", the keypad's "Num 0" to "Num 9", "Num *", "Num +",
// "Num -", "Num .", "Num /", a punctuation key's unshifted character, and
// "Key " with the number for any other code). Empty when there is no key
// (0, or modifiers alone).
std::string keyName(ShortcutCode code);

} // namespace harpoly
