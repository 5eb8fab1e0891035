#pragma once

#include "core/settings/shortcut_code.h"

#include <QList>
#include <QWidget>

class QAbstractScrollArea;
class QAction;
class QMenu;
class QVBoxLayout;

namespace harpoly::ui {

class PanelBar;

// The full-screen window `TFull`: borderless and maximised, the preview area above a
// status bar of four panels (file name, information, elapsed time, and the
// hint " 右クリックで操作"). Created hidden at start-up; the main window moves
// its preview area here while full-screen view is on.
//
// The window routes its input itself, ahead of every control on it:
// - a key press that is the key of one of the menu items (in menu order) runs
//   that item; the arrow keys scroll the preview area by 15 pixels;
// - the wheel scrolls the preview area by 15 pixels a notch;
// - a right-click anywhere opens the menu; a left click on the status bar
//   emits statusBarClicked();
// - the window manager's close emits closeRequested() and hides the window.
class FullScreenWindow : public QWidget {
    Q_OBJECT
public:
    explicit FullScreenWindow(QWidget* parent = nullptr);

    // Writes a panel of the window's status bar (0 file name, 1 information,
    // 2 elapsed time).
    void setStatusText(int panel, const QString& text);
    QString statusText(int panel) const;

    // The context menu and its items in menu order; an item's key is the
    // shortcut code in its data().
    void setMenu(QMenu* menu, QList<QAction*> items);
    // Takes `area` (the preview area) above the status bar, or gives it up.
    void placePreviewArea(QAbstractScrollArea* area);
    void releasePreviewArea();
    QAbstractScrollArea* previewArea() const { return area_; }

    // Whether `code` is the key of one of the menu items.
    bool isMenuKey(ShortcutCode code) const;
    // Whether a menu item's key is `virtualKey`, with any modifiers.
    bool hasMenuKeyOn(int virtualKey) const;

signals:
    void statusBarClicked();
    void closeRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The arrow keys scroll the preview area by one step; others do nothing.
    void scrollByKey(int virtualKey);
    bool ownsWidget(QObject* object) const;
    bool canScroll(Qt::Orientation orientation) const;
    bool scroll(Qt::Orientation orientation, int delta);

    QVBoxLayout* layout_ = nullptr;
    PanelBar* statusBar_ = nullptr; // SF
    QMenu* menu_ = nullptr;
    QList<QAction*> items_;
    QAbstractScrollArea* area_ = nullptr;
    int wheelRemainder_ = 0;
};

} // namespace harpoly::ui
