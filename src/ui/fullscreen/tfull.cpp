#include "ui/fullscreen/tfull.h"

#include "ui/app/panel_bar.h"
#include "ui/fullscreen/key_codes.h"
#include "core/fullscreen/navigation.h"
#include "core/fullscreen/shortcut_code.h"
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

TFull::TFull(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("TFull"));
    setFont(uiFont(12));

    layout_ = new QVBoxLayout(this);
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(0);
    layout_->addStretch(1);
    SF = new PanelBar(QStringLiteral("SF"), {200, 300, 100}, 19, this);
    for (int i = 0; i < 3; ++i) {
        SF->setText(i, QStringLiteral(" "));
    }
    SF->setText(3, QStringLiteral(" 右クリックで操作"));
    layout_->addWidget(SF);

    // Input of every control on this window passes here first.
    qApp->installEventFilter(this);
}

void TFull::setStatusText(int panel, const QString& text) {
    SF->setText(panel, text);
}

QString TFull::statusText(int panel) const {
    return SF->text(panel);
}

void TFull::setMenu(QMenu* menu, QList<QAction*> items) {
    menu_ = menu;
    items_ = std::move(items);
}

void TFull::placePreviewArea(QAbstractScrollArea* area) {
    releasePreviewArea();
    area_ = area;
    delete layout_->takeAt(0); // the stretch that holds the place while empty
    layout_->insertWidget(0, area, 1);
    area->show();
}

void TFull::releasePreviewArea() {
    if (area_ == nullptr) {
        return;
    }
    layout_->removeWidget(area_);
    layout_->insertStretch(0, 1);
    area_ = nullptr;
}

bool TFull::canScroll(Qt::Orientation orientation) const {
    if (area_ == nullptr) {
        return false;
    }
    const QScrollBar* bar =
        orientation == Qt::Horizontal ? area_->horizontalScrollBar() : area_->verticalScrollBar();
    return bar->maximum() > 0;
}

bool TFull::scroll(Qt::Orientation orientation, int delta) {
    if (area_ == nullptr) {
        return false;
    }
    QScrollBar* bar =
        orientation == Qt::Horizontal ? area_->horizontalScrollBar() : area_->verticalScrollBar();
    bar->setValue(scrolledBy(bar->value(), delta, bar->maximum()));
    return bar->maximum() > 0;
}

void TFull::FormKeyDown(int virtualKey) {
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

void TFull::FormMouseWheelDown(bool shift) {
    FormKeyDown(shift ? vk::Right : vk::Down);
}

void TFull::FormMouseWheelUp(bool shift) {
    FormKeyDown(shift ? vk::Left : vk::Up);
}

bool TFull::isMenuKey(ShortcutCode code) const {
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

bool TFull::hasMenuKeyOn(int virtualKey) const {
    for (const QAction* item : items_) {
        const ShortcutCode code = shortcutFromInteger(item->data().toInt());
        if (code != 0 && virtualKeyOf(code) == virtualKey) {
            return true;
        }
    }
    return false;
}

bool TFull::ownsWidget(QObject* object) const {
    auto* widget = qobject_cast<QWidget*>(object);
    return widget != nullptr && isVisible() && widget->window() == this;
}

bool TFull::eventFilter(QObject* watched, QEvent* event) {
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
        FormKeyDown(vkey);
        return true;
    }
    case QEvent::Wheel: {
        if (!ownsWidget(watched) || area_ == nullptr) {
            break;
        }
        auto* wheel = static_cast<QWheelEvent*>(event);
        const bool shift = wheel->modifiers().testFlag(Qt::ShiftModifier);
        const QPoint d = wheel->angleDelta();
        if (!canScroll(shift || d.y() == 0 ? Qt::Horizontal : Qt::Vertical)) {
            break; // nothing to scroll here: the control under the mouse may
        }
        wheelRemainder_ += d.y() != 0 ? d.y() : d.x();
        // One notch (120) is one step; a smooth wheel adds up to notches.
        while (wheelRemainder_ >= 120) {
            FormMouseWheelUp(shift);
            wheelRemainder_ -= 120;
        }
        while (wheelRemainder_ <= -120) {
            FormMouseWheelDown(shift);
            wheelRemainder_ += 120;
        }
        return true;
    }
    case QEvent::ContextMenu: {
        if (!ownsWidget(watched) || menu_ == nullptr) {
            break;
        }
        menu_->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }
    case QEvent::MouseButtonPress: {
        auto* w = qobject_cast<QWidget*>(watched);
        if (w != nullptr && ownsWidget(w) && (w == SF || SF->isAncestorOf(w)) &&
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

void TFull::closeEvent(QCloseEvent* event) {
    // The window manager's close leaves full-screen view as the menu's close
    // does. The close itself is never refused: the application's quit closes
    // every window and gives up when one refuses.
    if (isVisible()) {
        emit closeRequested();
    }
    event->accept();
}

} // namespace harpoly::ui
