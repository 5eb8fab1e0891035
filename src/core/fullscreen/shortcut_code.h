#pragma once

#include "core/settings/shortcut_code.h"

namespace harpoly {

// Windows virtual-key codes of the keys the program names or handles itself.
namespace vk {
inline constexpr int Back = 8, Tab = 9, Return = 13, Escape = 27, Space = 32;
inline constexpr int Prior = 33, Next = 34, End = 35, Home = 36;
inline constexpr int Left = 37, Up = 38, Right = 39, Down = 40;
inline constexpr int Insert = 45, Delete = 46;
inline constexpr int F1 = 112, F7 = 118, F9 = 120, F12 = 123, F24 = 135;
} // namespace vk

inline constexpr ShortcutCode shortcutCode(int virtualKey, bool shift = false, bool ctrl = false,
                                           bool alt = false) {
    return static_cast<ShortcutCode>((virtualKey & 0xFF) | (shift ? kShortcutShift : 0) |
                                     (ctrl ? kShortcutCtrl : 0) | (alt ? kShortcutAlt : 0));
}

inline constexpr int virtualKeyOf(ShortcutCode code) {
    return code & 0xFF;
}

} // namespace harpoly
