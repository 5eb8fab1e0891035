#include "fullscreen/tfull.h"

namespace harpoly::ui {

TFull::TFull(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("TFull"));
}

void TFull::setStatusText(int, const QString&) {}

} // namespace harpoly::ui
