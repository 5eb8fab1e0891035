#include "ui/fullscreen/hot_key_edit.h"

#include "core/app/key_names.h"
#include "ui/fullscreen/key_codes.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QKeySequence>

namespace harpoly::ui {

HotKeyEdit::HotKeyEdit(QWidget* parent) : QLineEdit(parent) {
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setFocusPolicy(Qt::StrongFocus);
    setKey(0);
}

void HotKeyEdit::setKey(ShortcutCode code) {
    key_ = code;
    QString name = QString::fromStdString(keyName(code));
    if (name.isEmpty() && code != 0) {
        // A key the menus have no name for (punctuation, the keypad, F13 and
        // up) is still shown by what is on it.
        name = QKeySequence(keyCombinationOf(code)).toString(QKeySequence::NativeText);
    }
    setText(code == 0 ? QStringLiteral("なし") : name);
    end(false);
    emit keyChanged(code);
}

void HotKeyEdit::keyPressEvent(QKeyEvent* event) {
    const ShortcutCode code = shortcutFromKeyEvent(*event);
    if (code != 0) {
        setKey(code);
    }
    event->accept();
}

void HotKeyEdit::keyReleaseEvent(QKeyEvent* event) {
    event->accept();
}

void HotKeyEdit::contextMenuEvent(QContextMenuEvent* event) {
    event->accept();
}

void HotKeyEdit::mousePressEvent(QMouseEvent*) {
    setFocus(Qt::MouseFocusReason);
}

void HotKeyEdit::mouseDoubleClickEvent(QMouseEvent*) {}

} // namespace harpoly::ui
