#include "ui/browse/preview_box.h"

#include "ui/browse/image_pane.h"
#include "ui/browse/media_player.h"
#include "ui/browse/text_pane.h"

#include <QProgressBar>
#include <QResizeEvent>
#include <QSlider>

namespace harpoly::ui {

namespace {

// The widget inside the scroll area: lays the three panes over its whole
// area and leaves the progress bar at its own place on top.
class PaneSurface : public QWidget {
public:
    explicit PaneSurface(QWidget* parent) : QWidget(parent) {}
    QList<QWidget*> panes;

protected:
    void resizeEvent(QResizeEvent* event) override {
        for (QWidget* pane : panes) {
            pane->setGeometry(QRect(QPoint(0, 0), event->size()));
        }
        QWidget::resizeEvent(event);
    }
    bool event(QEvent* event) override {
        // A pane that changes its minimum size (a picture at its own size)
        // must make the scroll area re-read this widget's size.
        if (event->type() == QEvent::LayoutRequest) {
            updateGeometry();
        }
        return QWidget::event(event);
    }
    QSize minimumSizeHint() const override {
        QSize size(0, 0);
        for (const QWidget* pane : panes) {
            if (pane->isVisibleTo(this)) {
                size = size.expandedTo(pane->minimumSize());
            }
        }
        return size;
    }
};

void paintBackground(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace

PreviewBox::PreviewBox(QWidget* parent) : QScrollArea(parent) {
    setObjectName(QStringLiteral("BOX"));
    setWidgetResizable(true);

    auto* surface = new PaneSurface(this);
    surface_ = surface;

    picture_ = new ImagePane(surface);
    picture_->hide();

    text_ = new TextPane(surface);
    text_->hide();

    mediaPanel_ = new QWidget(surface);
    mediaPanel_->setObjectName(QStringLiteral("MPP"));
    paintBackground(mediaPanel_, Qt::white);
    mediaPanel_->hide();
    player_ = new MediaPlayer(mediaPanel_);
    player_->setObjectName(QStringLiteral("MPC"));
    player_->setGeometry(10, 10, 85, 20);
    player_->setDisplay(mediaPanel_);
    slider_ = new QSlider(Qt::Horizontal, mediaPanel_);
    slider_->setObjectName(QStringLiteral("MPt"));
    slider_->setGeometry(105, 10, 300, 25);
    slider_->setSingleStep(0);
    slider_->setPageStep(1);
    slider_->setTickInterval(60);
    slider_->setTickPosition(QSlider::TicksBelow);

    surface->panes = {picture_, text_, mediaPanel_};

    progress_ = new QProgressBar(surface);
    progress_->setObjectName(QStringLiteral("PB"));
    progress_->setGeometry(10, 10, 300, 20);
    progress_->setRange(0, 100);
    progress_->setTextVisible(false);
    progress_->hide();

    setWidget(surface);
    setFullScreenLook(false);
}

void PreviewBox::clearPanes() {
    picture_->hide();
    picture_->clearPicture();
    mediaPanel_->hide();
    text_->hide();
    text_->clear();
}

void PreviewBox::setFullScreenLook(bool on) {
    setFrameStyle(on ? QFrame::NoFrame : QFrame::StyledPanel | QFrame::Sunken);
    if (on) {
        paintBackground(viewport(), Qt::black);
        paintBackground(surface_, Qt::black);
    } else {
        setBusyColour(busy_);
    }
}

void PreviewBox::setBusyColour(bool busy) {
    busy_ = busy;
    const QColor colour = busy ? palette().color(QPalette::Button) : QColor(Qt::white);
    paintBackground(viewport(), colour);
    paintBackground(surface_, colour);
}

QSize PreviewBox::paneSize() const {
    return viewport()->size();
}

} // namespace harpoly::ui
