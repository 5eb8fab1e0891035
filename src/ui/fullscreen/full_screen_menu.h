#pragma once

#include "core/settings/shortcut_code.h"

#include <QList>
#include <array>

class QAction;
class QMenu;
class QWidget;

namespace harpoly::ui {

// The context menu `POP` of full-screen view: next `N1`, previous `N2`,
// picture mode `N3` and close `N9`. The first three have keys the user can
// change (the settings' K1 to K3, index 0 to 2); close is always Esc. Each
// item shows its key by name after a tab, as menus show shortcuts, and keeps
// its shortcut code in data(), where the full-screen window looks keys up:
// that window dispatches the keys itself.
class FullScreenMenu {
public:
    enum Item { Next, Previous, PictureMode, Close };
    static constexpr int kChangeableKeys = 3;

    // The menu is a child of `owner` (the main window).
    explicit FullScreenMenu(QWidget* owner);

    QMenu* menu() const { return menu_; }
    QAction* item(Item which) const { return items_.at(which); }
    // Every item, in menu order.
    QList<QAction*> items() const;

    ShortcutCode shortcut(int index) const { return shortcuts_.at(index); }
    void setShortcut(int index, ShortcutCode code);

private:
    QMenu* menu_;
    std::array<QAction*, 4> items_{};
    std::array<ShortcutCode, kChangeableKeys> shortcuts_{};
};

} // namespace harpoly::ui
