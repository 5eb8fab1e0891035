#include "ui/fullscreen/key_codes.h"

#include "core/fullscreen/shortcut_code.h"
#include "ui/app/windows_key_code.h"

#include <QKeyEvent>

namespace harpoly::ui {

namespace {

struct KeyPair {
    int qt;
    int vk;
};

// Keys of a US keyboard that the main key table leaves out: punctuation
// (plain and shifted) and the shifted digits, which are still the digit keys.
constexpr KeyPair kExtraKeys[] = {
    {Qt::Key_Colon, vk::Oem1},
    {Qt::Key_Equal, vk::OemPlus},
    {Qt::Key_Plus, vk::OemPlus},
    {Qt::Key_Less, vk::OemComma},
    {Qt::Key_Underscore, vk::OemMinus},
    {Qt::Key_Greater, vk::OemPeriod},
    {Qt::Key_Question, vk::Oem2},
    {Qt::Key_QuoteLeft, vk::Oem3},
    {Qt::Key_AsciiTilde, vk::Oem3},
    {Qt::Key_BracketLeft, vk::Oem4},
    {Qt::Key_BraceLeft, vk::Oem4},
    {Qt::Key_Backslash, vk::Oem5},
    {Qt::Key_Bar, vk::Oem5},
    {Qt::Key_BracketRight, vk::Oem6},
    {Qt::Key_BraceRight, vk::Oem6},
    {Qt::Key_Apostrophe, vk::Oem7},
    {Qt::Key_QuoteDbl, vk::Oem7},
    {Qt::Key_ParenRight, '0'},
    {Qt::Key_Exclam, '1'},
    {Qt::Key_At, '2'},
    {Qt::Key_NumberSign, '3'},
    {Qt::Key_Dollar, '4'},
    {Qt::Key_Percent, '5'},
    {Qt::Key_AsciiCircum, '6'},
    {Qt::Key_Ampersand, '7'},
    {Qt::Key_Asterisk, '8'},
    {Qt::Key_ParenLeft, '9'},
};

constexpr KeyPair kKeypadKeys[] = {
    {Qt::Key_Asterisk, vk::Multiply}, {Qt::Key_Plus, vk::Add},       {Qt::Key_Minus, vk::Subtract},
    {Qt::Key_Period, vk::Decimal},    {Qt::Key_Delete, vk::Decimal}, {Qt::Key_Slash, vk::Divide},
};

} // namespace

int virtualKeyFromQtKey(int qtKey, bool keypad) {
    if (keypad) {
        if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) {
            return vk::Numpad0 + (qtKey - Qt::Key_0);
        }
        for (const auto& k : kKeypadKeys) {
            if (k.qt == qtKey) {
                return k.vk;
            }
        }
        if (qtKey == Qt::Key_Enter) {
            return vk::Return;
        }
    }
    switch (qtKey) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_Meta:
    case Qt::Key_AltGr:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock:
        return 0; // a modifier or lock key alone is no shortcut
    default:
        break;
    }
    if (const int code = windowsKeyCode(qtKey); code != 0) {
        return code;
    }
    for (const auto& k : kExtraKeys) {
        if (k.qt == qtKey) {
            return k.vk;
        }
    }
    return 0;
}

ShortcutCode shortcutFromKey(int qtKey, Qt::KeyboardModifiers modifiers) {
    const int key = virtualKeyFromQtKey(qtKey, modifiers.testFlag(Qt::KeypadModifier));
    if (key == 0) {
        return 0;
    }
    return shortcutCode(key, modifiers.testFlag(Qt::ShiftModifier),
                        modifiers.testFlag(Qt::ControlModifier),
                        modifiers.testFlag(Qt::AltModifier));
}

ShortcutCode shortcutFromKeyEvent(const QKeyEvent& event) {
    return shortcutFromKey(event.key(), event.modifiers());
}

QKeyCombination keyCombinationOf(ShortcutCode code) {
    const int key = virtualKeyOf(code);
    Qt::KeyboardModifiers mods;
    if (code & kShortcutShift) {
        mods |= Qt::ShiftModifier;
    }
    if (code & kShortcutCtrl) {
        mods |= Qt::ControlModifier;
    }
    if (code & kShortcutAlt) {
        mods |= Qt::AltModifier;
    }
    Qt::Key qt = Qt::Key_unknown;
    if (key >= vk::Numpad0 && key <= vk::Numpad9) {
        qt = static_cast<Qt::Key>(Qt::Key_0 + (key - vk::Numpad0));
        mods |= Qt::KeypadModifier;
    } else if (const int q = qtKeyOfWindowsCode(key); q != 0) {
        qt = static_cast<Qt::Key>(q);
    } else {
        for (const auto& k : kKeypadKeys) {
            if (k.vk == key) {
                qt = static_cast<Qt::Key>(k.qt);
                mods |= Qt::KeypadModifier;
                break;
            }
        }
        for (const auto& k : kExtraKeys) {
            if (qt == Qt::Key_unknown && k.vk == key) {
                qt = static_cast<Qt::Key>(k.qt);
            }
        }
    }
    return QKeyCombination(mods, qt);
}

} // namespace harpoly::ui
