#include "ui/fullscreen/hot_key_edit.h"

#include "core/app/key_names.h"
#include "ui/fullscreen/key_codes.h"

#include <QContextMenuEvent>
#include <QKeyEvent>

namespace harpoly::ui {

HotKeyEdit::HotKeyEdit(QWidget* parent) : QLineEdit(parent) {
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setFocusPolicy(Qt::StrongFocus);
    setKey(0);
}

void HotKeyEdit::setKey(ShortcutCode code) {
    key_ = code;
    // By the name the menu shows it with.
    const std::string name = keyName(code);
    setText(name.empty() ? QStringLiteral("なし") : QString::fromStdString(name));
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
