#include "ui/app/busy_display.h"

#include "ui/browse/preview_box.h"
#include "ui/browse/previewer.h"

#include <QApplication>
#include <QProgressBar>

namespace harpoly::ui {

void BusyDisplay::begin(int steps) {
    previewer_.stopPreview();
    box_.setBusyColour(true);
    QProgressBar* bar = box_.progressBar();
    bar->setRange(0, steps);
    bar->setValue(0);
    bar->show();
    bar->raise();
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void BusyDisplay::step() {
    QProgressBar* bar = box_.progressBar();
    bar->setValue(bar->value() + 1);
}

void BusyDisplay::end() {
    box_.progressBar()->hide();
    // An operation broken off by an error leaves its cursor set; restore
    // every level so the next normal end brings the arrow back.
    while (QApplication::overrideCursor() != nullptr) {
        QApplication::restoreOverrideCursor();
    }
    box_.setBusyColour(false);
}

} // namespace harpoly::ui
