// Full-screen view as the main window drives it: entering and leaving (the
// preview area moves between the two windows), stepping through the list,
// the picture mode, and the shortcut-key dialog's link to the menu keys.
#include "ui/app/harpoly_application.h"
#include "ui/app/ta.h"
#include "ui/browse/file_list_item_model.h"
#include "ui/browse/image_pane.h"
#include "ui/browse/media_player.h"
#include "ui/browse/preview_box.h"
#include "ui/browse/previewer.h"
#include "core/fullscreen/navigation.h"
#include "ui/fullscreen/tfull.h"
#include "ui/fullscreen/thk.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QTimer>
#include <functional>

namespace harpoly::ui {

namespace {

void setBackground(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void scrollToTopLeft(PreviewBox* box) {
    box->horizontalScrollBar()->setValue(0);
    box->verticalScrollBar()->setValue(0);
}

} // namespace

namespace {

// Runs `before` when the watched window is about to handle its close event.
class BeforeClose : public QObject {
public:
    BeforeClose(QObject* parent, std::function<void()> before)
        : QObject(parent), before_(std::move(before)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == parent() && event->type() == QEvent::Close) {
            before_();
        }
        return false;
    }

private:
    std::function<void()> before_;
};

} // namespace

void TA::connectFullScreen() {
    // The main window is disabled while either window is shown, and a widget
    // disables its children with it, child windows included: so neither may
    // be a child of the main window. Their owner (start-up) keeps them.
    for (QWidget* window : {static_cast<QWidget*>(full_), static_cast<QWidget*>(hk_)}) {
        if (window != nullptr && window->parentWidget() == this) {
            window->setParent(nullptr, window->windowFlags());
        }
    }
    if (full_ != nullptr) {
        full_->setMenu(POP, {N1, N2, N3, N9});
        connect(full_, &TFull::statusBarClicked, this,
                [this] { runReported([this] { SFClick(); }); });
        connect(full_, &TFull::closeRequested, this,
                [this] { runReported([this] { N9Click(); }); });
    }
    connect(N1, &QAction::triggered, this, [this] { runReported([this] { N1Click(); }); });
    connect(N2, &QAction::triggered, this, [this] { runReported([this] { N2Click(); }); });
    connect(N3, &QAction::triggered, this, [this] { runReported([this] { N3Click(); }); });
    connect(N9, &QAction::triggered, this, [this] { runReported([this] { N9Click(); }); });
    // Closing the program in full-screen view leaves it first (without a new
    // preview), so that the settings get the user's own check-box states and
    // the preview area is destroyed with the main window it belongs to.
    installEventFilter(new BeforeClose(this, [this] {
        if (fullScreenOn()) {
            setEnabled(true);
            PV->setChecked(savedPreviewOff_);
            pM->setChecked(savedAutoPlay_);
            IMG->setMode(PictureMode::Fit);
            returnPreviewArea();
            full_->hide();
        }
    }));

    if (hk_ != nullptr) {
        hk_->setKeyStore([this](int index) { return menuShortcut(index); },
                         [this](int index, ShortcutCode code) { setMenuShortcut(index, code); });
    }
}

void TA::BFClick() {
    if (full_ == nullptr || fullScreenOn()) {
        return;
    }
    setEnabled(false);
    savedPreviewOff_ = PV->isChecked();
    savedAutoPlay_ = pM->isChecked();
    // Every file is previewed and media plays at once. The preview runs once,
    // below, when the area already sits on the full-screen window.
    PV->setChecked(false);
    pM->setChecked(true);
    previewer_->stopPreview();
    // A stand-in keeps the area's place in the main window, and the list
    // keeps its width.
    savedSplitterSizes_ = c_splitter->sizes();
    auto* place = new QWidget;
    place->setObjectName(QStringLiteral("BOX_place"));
    c_splitter->replaceWidget(c_splitter->indexOf(BOX), place);
    c_splitter->setSizes(savedSplitterSizes_);
    full_->placePreviewArea(BOX);
    // The whole screen, whether or not a window manager maximises the window.
    if (const QScreen* screen = this->screen()) {
        full_->setGeometry(screen->availableGeometry());
    }
    BOX->setFramed(false);
    setBackground(BOX->viewport(), Qt::black);
    setBackground(BOX->widget(), Qt::black);
    full_->showMaximized();
    full_->raise();
    full_->activateWindow();
    FLClick();
}

void TA::N1Click() {
    stepEntry(nextEntry);
}

void TA::N2Click() {
    stepEntry(previousEntry);
}

void TA::stepEntry(int (*step)(int current, int count)) {
    const FileListItemModel& list = *listModel_;
    scrollToTopLeft(BOX);
    if (list.count() == 0) {
        FLClick();
        return;
    }
    setCurrentItem(step(list.currentIndex(), list.count()));
}

void TA::N3Click() {
    const bool toNatural = IMG->mode() == PictureMode::Fit;
    IMG->setMode(toNatural ? PictureMode::Natural : PictureMode::Fit);
    // A large JPEG is decoded at a reduced scale for fit mode; at its own size
    // it must be decoded whole, or it would show enlarged and blurred.
    if (toNatural && IMG->isVisible() && IMG->hasPicture() &&
        IMG->picture().size() != IMG->ownSize()) {
        FLClick();
    }
}

void TA::N9Click() {
    if (!fullScreenOn()) {
        return;
    }
    setEnabled(true);
    PV->setChecked(savedPreviewOff_);
    pM->setChecked(savedAutoPlay_);
    IMG->setMode(PictureMode::Fit);
    returnPreviewArea();
    full_->hide();
    activateWindow();
    FLClick();
}

void TA::SFClick() {
    N9Click();
}

void TA::returnPreviewArea() {
    if (!fullScreenOn()) {
        return;
    }
    previewer_->stopPreview(); // no video keeps playing while the area moves
    full_->releasePreviewArea();
    if (auto* place = c_splitter->findChild<QWidget*>(QStringLiteral("BOX_place"))) {
        delete c_splitter->replaceWidget(c_splitter->indexOf(place), BOX);
    } else {
        c_splitter->addWidget(BOX);
    }
    if (savedSplitterSizes_.size() == c_splitter->count()) {
        c_splitter->setSizes(savedSplitterSizes_);
    }
    BOX->setFramed(true);
    BOX->setBusyColour(BOX->busyColour()); // white again (or button face while busy)
    BOX->show();
}

} // namespace harpoly::ui
