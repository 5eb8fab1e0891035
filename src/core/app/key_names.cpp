#include "core/app/key_names.h"

#include <utility>

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
    case 0x13:
        return "Pause";
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
    case 0x2C:
        return "PrtSc";
    case 0x2D:
        return "Ins";
    case 0x2E:
        return "Del";
    case 0x6A:
        return "Num *";
    case 0x6B:
        return "Num +";
    case 0x6D:
        return "Num -";
    case 0x6E:
        return "Num .";
    case 0x6F:
        return "Num /";
    default:
        break;
    }
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) {
        return std::string(1, static_cast<char>(vk));
    }
    if (vk >= 0x60 && vk <= 0x69) {
        return "Num " + std::to_string(vk - 0x60);
    }
    if (vk >= 0x70 && vk <= 0x87) {
        return "F" + std::to_string(vk - 0x70 + 1);
    }
    // The punctuation keys of a US keyboard, by their unshifted character.
    constexpr std::pair<unsigned, const char*> kPunctuation[] = {
        {0xBA, ";"}, {0xBB, "="}, {0xBC, ","},  {0xBD, "-"}, {0xBE, "."}, {0xBF, "/"},
        {0xC0, "`"}, {0xDB, "["}, {0xDC, "\\"}, {0xDD, "]"}, {0xDE, "'"},
    };
    for (const auto& [code, name] : kPunctuation) {
        if (code == vk) {
            return name;
        }
    }
    // A code no key of ours gives (a hand-edited settings file): its number.
    return "Key " + std::to_string(vk);
}

} // namespace

std::string keyName(ShortcutCode code) {
    if ((code & 0xFFu) == 0) {
        return {};
    }
    std::string name = baseKeyName(code & 0xFFu);
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
