#include "fullscreen/thk.h"

#include <QCloseEvent>

namespace harpoly::ui {

THK::THK(QWidget* mainWindow, QWidget* parent)
    : QWidget(parent, Qt::Window), mainWindow_(mainWindow) {
    setObjectName(QStringLiteral("THK"));
}

void THK::setFocusedFieldKey(int) {}

void THK::closeEvent(QCloseEvent* event) {
    if (mainWindow_ != nullptr) {
        mainWindow_->setEnabled(true);
    }
    QWidget::closeEvent(event);
}

} // namespace harpoly::ui
