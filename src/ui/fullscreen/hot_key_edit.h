#pragma once

#include "core/settings/shortcut_code.h"

#include <QLineEdit>

namespace harpoly::ui {

// A key-capture field: shows a key with its modifiers by name and takes the
// next combination pressed while it has the focus, every combination
// accepted. Tab and Shift+Tab still move the focus; a modifier pressed alone
// changes nothing. Backspace, Enter, Esc and Space cannot be told apart from
// the dialog's own keys, so the dialog hands them in through setKey().
class HotKeyEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit HotKeyEdit(QWidget* parent = nullptr);

    ShortcutCode key() const { return key_; }
    void setKey(ShortcutCode code);

signals:
    void keyChanged(harpoly::ShortcutCode code);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    ShortcutCode key_ = 0;
};

} // namespace harpoly::ui
