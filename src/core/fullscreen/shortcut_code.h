#pragma once

#include "core/settings/shortcut_code.h"

namespace harpoly {

// Windows virtual-key codes of the keys the program names or handles itself.
namespace vk {
inline constexpr int Back = 8, Tab = 9, Return = 13, Escape = 27, Space = 32;
inline constexpr int Shift = 16, Control = 17, Menu = 18, Pause = 19, Capital = 20;
inline constexpr int Prior = 33, Next = 34, End = 35, Home = 36;
inline constexpr int Left = 37, Up = 38, Right = 39, Down = 40;
inline constexpr int Snapshot = 44, Insert = 45, Delete = 46;
inline constexpr int Numpad0 = 96, Numpad9 = 105, Multiply = 106, Add = 107;
inline constexpr int Subtract = 109, Decimal = 110, Divide = 111;
inline constexpr int F1 = 112, F7 = 118, F8 = 119, F9 = 120, F10 = 121, F12 = 123, F24 = 135;
inline constexpr int NumLock = 144, Scroll = 145;
// The punctuation keys of a US keyboard: ";:", "=+", ",<", "-_", ".>", "/?",
// "`~", "[{", "\|", "]}" and "'\"".
inline constexpr int Oem1 = 186, OemPlus = 187, OemComma = 188, OemMinus = 189;
inline constexpr int OemPeriod = 190, Oem2 = 191, Oem3 = 192, Oem4 = 219, Oem5 = 220;
inline constexpr int Oem6 = 221, Oem7 = 222;
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
