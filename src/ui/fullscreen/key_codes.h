#pragma once

#include "core/settings/shortcut_code.h"

#include <QKeyCombination>
#include <Qt>

class QKeyEvent;

namespace harpoly::ui {

// The shortcut code of a key press: its Windows virtual-key code and the
// Shift, Ctrl and Alt bits. 0 for a key that has no code (a modifier alone,
// or a key the program does not know).
ShortcutCode shortcutFromKey(int qtKey, Qt::KeyboardModifiers modifiers);
ShortcutCode shortcutFromKeyEvent(const QKeyEvent& event);

// The virtual-key code of a Qt key, ignoring modifiers; 0 when it has none.
int virtualKeyFromQtKey(int qtKey, bool keypad = false);

// A Qt key combination that produces `code` (for synthesised key presses).
QKeyCombination keyCombinationOf(ShortcutCode code);

} // namespace harpoly::ui
