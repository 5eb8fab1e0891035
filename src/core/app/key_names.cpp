#include "core/app/key_names.h"

namespace harpoly {

namespace {

std::string baseKeyName(unsigned vk) {
    switch (vk) {
    case 0x08:
        return "BkSp";
    case 0x09:
        return "Tab";
    case 0x0D:
        return "Enter";
    case 0x1B:
        return "Esc";
    case 0x20:
        return "Space";
    case 0x21:
        return "PgUp";
    case 0x22:
        return "PgDn";
    case 0x23:
        return "End";
    case 0x24:
        return "Home";
    case 0x25:
        return "Left";
    case 0x26:
        return "Up";
    case 0x27:
        return "Right";
    case 0x28:
        return "Down";
    case 0x2D:
        return "Ins";
    case 0x2E:
        return "Del";
    default:
        break;
    }
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) {
        return std::string(1, static_cast<char>(vk));
    }
    if (vk >= 0x70 && vk <= 0x7B) {
        return "F" + std::to_string(vk - 0x70 + 1);
    }
    return {};
}

} // namespace

std::string keyName(ShortcutCode code) {
    std::string name = baseKeyName(code & 0xFFu);
    if (name.empty()) {
        return {};
    }
    std::string prefix;
    if (code & kShortcutShift) {
        prefix += "Shift+";
    }
    if (code & kShortcutCtrl) {
        prefix += "Ctrl+";
    }
    if (code & kShortcutAlt) {
        prefix += "Alt+";
    }
    return prefix + name;
}

} // namespace harpoly
