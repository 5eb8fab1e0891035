#pragma once

#include "core/settings/shortcut_code.h"

#include <QWidget>
#include <array>
#include <functional>

namespace harpoly::ui {

class HotKeyEdit;

// The shortcut-key dialog `THK` "設定": the keys of the full-screen menu's next,
// previous and picture-mode items in three key-capture fields. Created hidden
// at start-up and only shown and hidden afterwards; the main window is
// disabled while it is shown and enabled again when it closes, by either
// button or by the window manager's close (which counts as cancel).
class ShortcutKeyDialog : public QWidget {
    Q_OBJECT
public:
    explicit ShortcutKeyDialog(QWidget* mainWindow, QWidget* parent = nullptr);

    // Where the three keys live (the menu items N1 to N3, index 0 to 2).
    using KeyReader = std::function<ShortcutCode(int index)>;
    using KeyWriter = std::function<void(int index, ShortcutCode code)>;
    void setKeyStore(KeyReader read, KeyWriter write);

    // Sets `code` (a shortcut code) as the key of whichever hot-key field has
    // the focus; does nothing when none has it.
    void setFocusedFieldKey(int code);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Shows the keys in use, the focus on the first field.
    void showKeys();
    // BHKent: the fields' keys become the menu's, then the dialog closes.
    void confirm();
    // BHKesc: the dialog closes and the main window is enabled again.
    void cancel();

    QWidget* mainWindow_;
    std::array<HotKeyEdit*, 3> fields_{}; // HK1 to HK3
    KeyReader readKey_;
    KeyWriter writeKey_;
};

} // namespace harpoly::ui
