#include "fullscreen/shortcut_code.h"

namespace harpoly {

namespace {

std::string keyName(int key) {
    switch (key) {
    case vk::Back:
        return "BkSp";
    case vk::Tab:
        return "Tab";
    case vk::Return:
        return "Enter";
    case vk::Pause:
        return "Pause";
    case vk::Escape:
        return "Esc";
    case vk::Space:
        return "Space";
    case vk::Prior:
        return "PgUp";
    case vk::Next:
        return "PgDn";
    case vk::End:
        return "End";
    case vk::Home:
        return "Home";
    case vk::Left:
        return "Left";
    case vk::Up:
        return "Up";
    case vk::Right:
        return "Right";
    case vk::Down:
        return "Down";
    case vk::Insert:
        return "Ins";
    case vk::Delete:
        return "Del";
    case 106:
        return "Num *";
    case 107:
        return "Num +";
    case 109:
        return "Num -";
    case 110:
        return "Num Del";
    case 111:
        return "Num /";
    case 186:
        return ";";
    case 187:
        return "=";
    case 188:
        return ",";
    case 189:
        return "-";
    case 190:
        return ".";
    case 191:
        return "/";
    case 192:
        return "`";
    case 219:
        return "[";
    case 220:
        return "\\";
    case 221:
        return "]";
    case 222:
        return "'";
    default:
        break;
    }
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) {
        return std::string(1, static_cast<char>(key));
    }
    if (key >= vk::Numpad0 && key <= vk::Numpad0 + 9) {
        return "Num " + std::to_string(key - vk::Numpad0);
    }
    if (key >= vk::F1 && key <= vk::F24) {
        return "F" + std::to_string(key - vk::F1 + 1);
    }
    return {};
}

} // namespace

std::string shortcutText(ShortcutCode code) {
    std::string name = keyName(virtualKeyOf(code));
    if (name.empty()) {
        return {};
    }
    std::string prefix;
    if (code & modifier::Shift) {
        prefix += "Shift+";
    }
    if (code & modifier::Ctrl) {
        prefix += "Ctrl+";
    }
    if (code & modifier::Alt) {
        prefix += "Alt+";
    }
    return prefix + name;
}

} // namespace harpoly
