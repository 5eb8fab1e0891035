#pragma once

#include <cstdint>
#include <string>

namespace harpoly {

// A key with its modifiers as one 16-bit number: the Windows virtual-key code
// in the low byte, plus 8192 for Shift, 16384 for Ctrl and 32768 for Alt.
// 0 means no key.
using ShortcutCode = std::uint16_t;

namespace vk {
inline constexpr int Back = 8, Tab = 9, Return = 13, Pause = 19, Escape = 27, Space = 32;
inline constexpr int Prior = 33, Next = 34, End = 35, Home = 36;
inline constexpr int Left = 37, Up = 38, Right = 39, Down = 40;
inline constexpr int Insert = 45, Delete = 46;
inline constexpr int F1 = 112, F12 = 123, F24 = 135;
inline constexpr int Numpad0 = 96;
} // namespace vk

namespace modifier {
inline constexpr ShortcutCode Shift = 0x2000, Ctrl = 0x4000, Alt = 0x8000;
} // namespace modifier

inline constexpr ShortcutCode shortcutCode(int virtualKey, bool shift = false, bool ctrl = false,
                                           bool alt = false) {
    return static_cast<ShortcutCode>((virtualKey & 0xFF) | (shift ? modifier::Shift : 0) |
                                     (ctrl ? modifier::Ctrl : 0) | (alt ? modifier::Alt : 0));
}

inline constexpr int virtualKeyOf(ShortcutCode code) {
    return code & 0xFF;
}

// The default keys of the full-screen menu: next, previous, picture mode, close.
inline constexpr ShortcutCode kDefaultNextKey = vk::Return;
inline constexpr ShortcutCode kDefaultPreviousKey = vk::Back;
inline constexpr ShortcutCode kDefaultModeKey = vk::Insert;
inline constexpr ShortcutCode kCloseKey = vk::Escape;

// The name of a key as menus and the key fields show it: "Enter", "BkSp",
// "Ins", "Esc", "Ctrl+Right", "Shift+Alt+F5" ... (modifiers in the order
// Shift, Ctrl, Alt). A code without a nameable key gives an empty text.
std::string shortcutText(ShortcutCode code);

} // namespace harpoly
