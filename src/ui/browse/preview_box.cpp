#include "ui/browse/preview_box.h"

#include "ui/browse/image_pane.h"
#include "ui/browse/media_player.h"
#include "ui/ui_font.h"

#include <QProgressBar>
#include <QResizeEvent>
#include <QSlider>
#include <QTextEdit>

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
    setFramed(true);
    setWidgetResizable(true);

    auto* surface = new PaneSurface(this);
    surface_ = surface;

    IMG = new ImagePane(surface);
    IMG->hide();

    TXT = new QTextEdit(surface);
    TXT->setObjectName(QStringLiteral("TXT"));
    TXT->setReadOnly(true);
    TXT->setFont(uiFont(15));
    TXT->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    TXT->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    TXT->setLineWrapMode(QTextEdit::WidgetWidth);
    TXT->hide();

    MPP = new QWidget(surface);
    MPP->setObjectName(QStringLiteral("MPP"));
    paintBackground(MPP, Qt::white);
    MPP->hide();
    MPC = new MediaPlayer(MPP);
    MPC->setObjectName(QStringLiteral("MPC"));
    MPC->setGeometry(10, 10, 85, 20);
    MPC->setDisplay(MPP);
    MPt = new QSlider(Qt::Horizontal, MPP);
    MPt->setObjectName(QStringLiteral("MPt"));
    MPt->setGeometry(105, 10, 300, 25);
    MPt->setSingleStep(0);
    MPt->setPageStep(1);
    MPt->setTickInterval(60);
    MPt->setTickPosition(QSlider::TicksBelow);

    surface->panes = {IMG, TXT, MPP};

    PB = new QProgressBar(surface);
    PB->setObjectName(QStringLiteral("PB"));
    PB->setGeometry(10, 10, 300, 20);
    PB->setRange(0, 100);
    PB->setTextVisible(false);
    PB->hide();

    setWidget(surface);
    setBusyColour(false);
}

void PreviewBox::clearPanes() {
    IMG->hide();
    IMG->clearPicture();
    MPP->hide();
    TXT->hide();
    TXT->clear();
}

void PreviewBox::setFramed(bool framed) {
    // A single-line border in the main window; none in full-screen view.
    setFrameStyle(framed ? QFrame::StyledPanel | QFrame::Sunken : QFrame::NoFrame);
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
