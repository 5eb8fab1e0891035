#include "ui/fullscreen/full_screen_window.h"

#include "core/fullscreen/navigation.h"
#include "core/fullscreen/shortcut_code.h"
#include "ui/app/panel_bar.h"
#include "ui/fullscreen/key_codes.h"
#include "ui/ui_font.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace harpoly::ui {

namespace {
// What one notch of a mouse wheel turns its angle by.
constexpr int kWheelNotch = 120;
} // namespace

FullScreenWindow::FullScreenWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("TFull"));
    setFont(uiFont(12));

    layout_ = new QVBoxLayout(this);
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(0);
    layout_->addStretch(1);
    statusBar_ = new PanelBar(QStringLiteral("SF"), {200, 300, 100}, 19, this);
    for (int i = 0; i < 3; ++i) {
        statusBar_->setText(i, QStringLiteral(" "));
    }
    statusBar_->setText(3, QStringLiteral(" 右クリックで操作"));
    layout_->addWidget(statusBar_);

    // Input of every control on this window passes here first.
    qApp->installEventFilter(this);
}

void FullScreenWindow::setStatusText(int panel, const QString& text) {
    statusBar_->setText(panel, text);
}

QString FullScreenWindow::statusText(int panel) const {
    return statusBar_->text(panel);
}

void FullScreenWindow::setMenu(QMenu* menu, QList<QAction*> items) {
    menu_ = menu;
    items_ = std::move(items);
}

void FullScreenWindow::placePreviewArea(QAbstractScrollArea* area) {
    releasePreviewArea();
    area_ = area;
    delete layout_->takeAt(0); // the stretch that holds the place while empty
    layout_->insertWidget(0, area, 1);
    area->show();
}

void FullScreenWindow::releasePreviewArea() {
    if (area_ == nullptr) {
        return;
    }
    layout_->removeWidget(area_);
    layout_->insertStretch(0, 1);
    area_ = nullptr;
}

bool FullScreenWindow::canScroll(Qt::Orientation orientation) const {
    if (area_ == nullptr) {
        return false;
    }
    const QScrollBar* bar =
        orientation == Qt::Horizontal ? area_->horizontalScrollBar() : area_->verticalScrollBar();
    return bar->maximum() > 0;
}

bool FullScreenWindow::scroll(Qt::Orientation orientation, int delta) {
    if (area_ == nullptr) {
        return false;
    }
    QScrollBar* bar =
        orientation == Qt::Horizontal ? area_->horizontalScrollBar() : area_->verticalScrollBar();
    bar->setValue(scrolledBy(bar->value(), delta, bar->maximum()));
    return bar->maximum() > 0;
}

void FullScreenWindow::scrollByKey(int virtualKey) {
    switch (virtualKey) {
    case vk::Left:
        scroll(Qt::Horizontal, -kScrollStep);
        break;
    case vk::Right:
        scroll(Qt::Horizontal, kScrollStep);
        break;
    case vk::Up:
        scroll(Qt::Vertical, -kScrollStep);
        break;
    case vk::Down:
        scroll(Qt::Vertical, kScrollStep);
        break;
    default:
        break;
    }
}

bool FullScreenWindow::isMenuKey(ShortcutCode code) const {
    if (code == 0) {
        return false;
    }
    for (const QAction* item : items_) {
        if (shortcutFromInteger(item->data().toInt()) == code) {
            return true;
        }
    }
    return false;
}

bool FullScreenWindow::hasMenuKeyOn(int virtualKey) const {
    for (const QAction* item : items_) {
        const ShortcutCode code = shortcutFromInteger(item->data().toInt());
        if (code != 0 && virtualKeyOf(code) == virtualKey) {
            return true;
        }
    }
    return false;
}

bool FullScreenWindow::ownsWidget(QObject* object) const {
    auto* widget = qobject_cast<QWidget*>(object);
    return widget != nullptr && isVisible() && widget->window() == this;
}

bool FullScreenWindow::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress: {
        if (!ownsWidget(watched)) {
            break;
        }
        auto* key = static_cast<QKeyEvent*>(event);
        const ShortcutCode code = shortcutFromKeyEvent(*key);
        const int vkey = virtualKeyOf(code);
        const bool arrow = vkey >= vk::Left && vkey <= vk::Down;
        const bool scrolls =
            arrow &&
            canScroll(vkey == vk::Left || vkey == vk::Right ? Qt::Horizontal : Qt::Vertical);
        if (!isMenuKey(code) && !scrolls) {
            break;
        }
        // Keep every control from taking the key: it is the window's.
        key->accept();
        if (event->type() == QEvent::ShortcutOverride) {
            return true;
        }
        // A key that several items share acts for the first of them.
        for (QAction* item : items_) {
            if (shortcutFromInteger(item->data().toInt()) == code) {
                item->trigger();
                return true;
            }
        }
        scrollByKey(vkey);
        return true;
    }
    case QEvent::Wheel: {
        if (!ownsWidget(watched) || area_ == nullptr) {
            break;
        }
        auto* wheel = static_cast<QWheelEvent*>(event);
        const QPoint d = wheel->angleDelta();
        // Shift turns the wheel sideways; a wheel tilted sideways is so
        // already.
        const bool sideways = wheel->modifiers().testFlag(Qt::ShiftModifier) || d.y() == 0;
        if (!canScroll(sideways ? Qt::Horizontal : Qt::Vertical)) {
            break; // nothing to scroll here: the control under the mouse may
        }
        wheelRemainder_ += d.y() != 0 ? d.y() : d.x();
        // One notch is one step; a smooth wheel adds up to notches.
        while (wheelRemainder_ >= kWheelNotch) {
            scrollByKey(sideways ? vk::Left : vk::Up);
            wheelRemainder_ -= kWheelNotch;
        }
        while (wheelRemainder_ <= -kWheelNotch) {
            scrollByKey(sideways ? vk::Right : vk::Down);
            wheelRemainder_ += kWheelNotch;
        }
        return true;
    }
    case QEvent::ContextMenu: {
        if (!ownsWidget(watched) || menu_ == nullptr) {
            break;
        }
        // The menu belongs to the main window, which is disabled while this
        // one is shown and disables its child windows with it. A disabled
        // menu greys out every item and is closed by Qt at the release of the
        // very click that opened it; a window may be enabled on its own.
        menu_->setEnabled(true);
        menu_->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }
    case QEvent::MouseButtonPress: {
        auto* w = qobject_cast<QWidget*>(watched);
        if (w != nullptr && ownsWidget(w) && (w == statusBar_ || statusBar_->isAncestorOf(w)) &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            emit statusBarClicked();
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void FullScreenWindow::closeEvent(QCloseEvent* event) {
    // The window manager's close leaves full-screen view as the menu's close
    // does. The close itself is never refused: the application's quit closes
    // every window and gives up when one refuses.
    if (isVisible()) {
        emit closeRequested();
    }
    event->accept();
}

} // namespace harpoly::ui
