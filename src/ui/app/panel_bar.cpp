#include "ui/app/panel_bar.h"

#include <QLabel>
#include <QResizeEvent>

namespace harpoly::ui {

PanelBar::PanelBar(const QString& name, QList<int> widths, int height, QWidget* parent)
    : QFrame(parent), widths_(std::move(widths)) {
    setObjectName(name);
    setFixedHeight(height);
    for (int i = 0; i <= widths_.size(); ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(name + QString::number(i));
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setTextFormat(Qt::PlainText);
        label->setContentsMargins(2, 0, 2, 0);
        panels_.append(label);
    }
}

void PanelBar::setText(int panel, const QString& text) {
    panels_.at(panel)->setText(text);
}

QString PanelBar::text(int panel) const {
    return panels_.at(panel)->text();
}

void PanelBar::resizeEvent(QResizeEvent* event) {
    int x = 0;
    for (int i = 0; i < panels_.size(); ++i) {
        const int w = i < widths_.size() ? widths_[i] : qMax(0, event->size().width() - x);
        panels_[i]->setGeometry(x, 0, w, event->size().height());
        x += w;
    }
    QFrame::resizeEvent(event);
}

} // namespace harpoly::ui
