#pragma once

#include <cstdint>

namespace harpoly {

// A key with its modifiers: the Windows virtual-key code in the low byte,
// plus the modifier bits below. 0 means no key.
using ShortcutCode = std::uint16_t;

inline constexpr ShortcutCode kShortcutShift = 0x2000;
inline constexpr ShortcutCode kShortcutCtrl = 0x4000;
inline constexpr ShortcutCode kShortcutAlt = 0x8000;

// Only the low 16 bits of a stored number make the code.
constexpr ShortcutCode shortcutFromInteger(std::int32_t value) {
    return static_cast<ShortcutCode>(static_cast<std::uint32_t>(value) & 0xFFFFu);
}

} // namespace harpoly
