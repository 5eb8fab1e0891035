#include "ui/fullscreen/full_screen_mode.h"

#include "core/browse/file_list_port.h"
#include "core/fullscreen/navigation.h"
#include "ui/app/harpoly_application.h"
#include "ui/browse/image_pane.h"
#include "ui/browse/preview_box.h"
#include "ui/browse/previewer.h"
#include "ui/fullscreen/full_screen_menu.h"
#include "ui/fullscreen/full_screen_window.h"

#include <QAction>
#include <QCheckBox>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>

namespace harpoly::ui {

namespace {

constexpr const char* kPlaceName = "BOX_place";

// Runs `before` when `window` is about to handle its close event.
class BeforeClose : public QObject {
public:
    BeforeClose(QObject* window, QObject* parent, std::function<void()> before)
        : QObject(parent), window_(window), before_(std::move(before)) {
        window_->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_ && event->type() == QEvent::Close) {
            before_();
        }
        return false;
    }

private:
    QObject* window_;
    std::function<void()> before_;
};

} // namespace

FullScreenMode::FullScreenMode(MainWindowParts parts, FullScreenWindow& window,
                               FullScreenMenu& menu)
    : QObject(parts.window), main_(std::move(parts)), window_(window) {
    window_.setMenu(menu.menu(), menu.items());
    const auto connectItem = [this, &menu](FullScreenMenu::Item item,
                                           void (FullScreenMode::*run)()) {
        connect(menu.item(item), &QAction::triggered, this,
                [this, run] { runReported([this, run] { (this->*run)(); }); });
    };
    connectItem(FullScreenMenu::Next, &FullScreenMode::showNextEntry);
    connectItem(FullScreenMenu::Previous, &FullScreenMode::showPreviousEntry);
    connectItem(FullScreenMenu::PictureMode, &FullScreenMode::togglePictureMode);
    connectItem(FullScreenMenu::Close, &FullScreenMode::leave);
    connect(&window_, &FullScreenWindow::statusBarClicked, this,
            [this] { runReported([this] { leave(); }); });
    connect(&window_, &FullScreenWindow::closeRequested, this,
            [this] { runReported([this] { leave(); }); });
    new BeforeClose(main_.window, this, [this] {
        if (isOn()) {
            restoreMainWindow();
        }
    });
}

bool FullScreenMode::isOn() const {
    return main_.box->window() == &window_;
}

void FullScreenMode::enter() {
    if (isOn()) {
        return;
    }
    main_.window->setEnabled(false);
    savedPreviewOff_ = main_.previewOff->isChecked();
    savedAutoPlay_ = main_.autoPlay->isChecked();
    // Every file is previewed and media plays at once. The preview runs once,
    // below, when the area already sits on the full-screen window.
    main_.previewOff->setChecked(false);
    main_.autoPlay->setChecked(true);
    main_.previewer->stopPreview();
    // A stand-in keeps the area's place in the main window, and the list
    // keeps its width.
    QSplitter* splitter = main_.splitter;
    savedSplitterSizes_ = splitter->sizes();
    auto* place = new QWidget;
    place->setObjectName(QString::fromLatin1(kPlaceName));
    splitter->replaceWidget(splitter->indexOf(main_.box), place);
    splitter->setSizes(savedSplitterSizes_);
    window_.placePreviewArea(main_.box);
    // The whole screen, whether or not a window manager maximises the window.
    if (const QScreen* screen = main_.window->screen()) {
        window_.setGeometry(screen->availableGeometry());
    }
    main_.box->setFullScreenLook(true);
    window_.showMaximized();
    window_.raise();
    window_.activateWindow();
    main_.previewCurrentEntry();
}

void FullScreenMode::leave() {
    if (!isOn()) {
        return;
    }
    restoreMainWindow();
    main_.window->activateWindow();
    main_.previewCurrentEntry();
}

void FullScreenMode::restoreMainWindow() {
    main_.window->setEnabled(true);
    main_.previewOff->setChecked(savedPreviewOff_);
    main_.autoPlay->setChecked(savedAutoPlay_);
    main_.box->picturePane()->setMode(PictureMode::Fit);
    returnPreviewArea();
    window_.hide();
}

void FullScreenMode::returnPreviewArea() {
    main_.previewer->stopPreview(); // no video keeps playing while the area moves
    window_.releasePreviewArea();
    QSplitter* splitter = main_.splitter;
    PreviewBox* box = main_.box;
    if (auto* place = splitter->findChild<QWidget*>(QString::fromLatin1(kPlaceName))) {
        delete splitter->replaceWidget(splitter->indexOf(place), box);
    } else {
        splitter->addWidget(box);
    }
    if (savedSplitterSizes_.size() == splitter->count()) {
        splitter->setSizes(savedSplitterSizes_);
    }
    box->setFullScreenLook(false); // white again (or button face while busy)
    box->show();
}

void FullScreenMode::showNextEntry() {
    stepEntry(nextEntry);
}

void FullScreenMode::showPreviousEntry() {
    stepEntry(previousEntry);
}

void FullScreenMode::stepEntry(int (*step)(int current, int count)) {
    main_.box->horizontalScrollBar()->setValue(0);
    main_.box->verticalScrollBar()->setValue(0);
    const FileListPort& list = *main_.list;
    if (list.count() == 0) {
        main_.previewCurrentEntry();
        return;
    }
    main_.makeEntryCurrent(step(list.currentIndex(), list.count()));
}

void FullScreenMode::togglePictureMode() {
    ImagePane* pane = main_.box->picturePane();
    const bool toNatural = pane->mode() == PictureMode::Fit;
    pane->setMode(toNatural ? PictureMode::Natural : PictureMode::Fit);
    // A large JPEG is decoded at a reduced scale for fit mode; at its own size
    // it is decoded whole, or it would show enlarged and blurred (and back in
    // fit mode, reduced again).
    main_.previewer->refitPicture();
}

} // namespace harpoly::ui
