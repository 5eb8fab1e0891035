#include "ui/app/main_window.h"

#include "core/app/activation.h"
#include "core/app/error_text.h"
#include "core/app/window_rules.h"
#include "core/browse/read_ahead.h"
#include "core/fullscreen/shortcut_code.h"
#include "core/settings/settings.h"
#include "ui/app/busy_display.h"
#include "ui/app/harpoly_application.h"
#include "ui/app/panel_bar.h"
#include "ui/app/tool_strip.h"
#include "ui/browse/file_list_item_model.h"
#include "ui/browse/file_list_view.h"
#include "ui/browse/preview_box.h"
#include "ui/browse/previewer.h"
#include "ui/browse/text_pane.h"
#include "ui/folders/folder_chooser.h"
#include "ui/fullscreen/full_screen_menu.h"
#include "ui/fullscreen/full_screen_mode.h"
#include "ui/fullscreen/full_screen_window.h"
#include "ui/fullscreen/shortcut_key_dialog.h"
#include "ui/message_box_prompter.h"
#include "ui/ui_font.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCompleter>
#include <QKeyEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace harpoly::ui {

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

// ASCII letters compared without case, as the sorted drop-down keeps them.
bool lessIgnoringCase(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) < 0;
}

bool fileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

} // namespace

MainWindow::MainWindow(MainWindowPaths paths, Clock clock, QWidget* parent)
    : QWidget(parent), paths_(std::move(paths)), clock_(std::move(clock)) {
    setObjectName(QStringLiteral("TA"));
    setFont(uiFont(12));
    setGeometry(369, 157, 650, 500);
    setToolTipDuration(-1);

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(4, 4, 4, 4);
    root->setSpacing(0);
    root->addWidget(buildTopPanel());

    infoBar_ = new PanelBar(QStringLiteral("SF"), {75, 450}, 19, this);
    infoBar_->setText(0, QStringLiteral(" ファイル情報"));
    root->addWidget(infoBar_);

    root->addWidget(buildMiddle(), 1);

    displayFolderBar_ = new PanelBar(QStringLiteral("SI"), {}, 18, this);
    outputFolderBar_ = new PanelBar(QStringLiteral("SO"), {}, 18, this);
    root->addWidget(displayFolderBar_);
    root->addWidget(outputFolderBar_);

    toolStrip_ = new ToolStrip(*this, this);
    root->addWidget(toolStrip_);

    menu_ = std::make_unique<FullScreenMenu>(this);
    boxPrompter_ = std::make_unique<MessageBoxPrompter>(this);

    loadSettings();
    // Connected once the settings are in, so that loading them runs no
    // handler: the list is filled at the first activation.
    connectList();
}

MainWindow::~MainWindow() = default;

void MainWindow::attachSecondaryWindows(FullScreenWindow& fullScreen,
                                        ShortcutKeyDialog& shortcutKeys) {
    fullScreenWindow_ = &fullScreen;
    shortcutKeys_ = &shortcutKeys;
    FullScreenMode::MainWindowParts parts;
    parts.window = this;
    parts.previewOff = previewOffBox_;
    parts.autoPlay = autoPlayBox_;
    parts.splitter = splitter_;
    parts.box = box_;
    parts.previewer = previewer_.get();
    parts.list = &list_->items();
    parts.previewCurrentEntry = [this] { previewCurrentEntry(); };
    parts.makeEntryCurrent = [this](int index) { makeEntryCurrent(index); };
    fullScreen_ = new FullScreenMode(std::move(parts), fullScreen, *menu_);
    shortcutKeys.setKeyStore(
        [this](int index) { return menu_->shortcut(index); },
        [this](int index, ShortcutCode code) { menu_->setShortcut(index, code); });
}

// ---------------------------------------------------------------- layout

QWidget* MainWindow::buildTopPanel() {
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("P"));
    panel->setFixedHeight(48);
    const auto button = [this, panel](const char* name, const char* caption, QRect place,
                                      std::function<void()> command) {
        auto* b = new QPushButton(QString::fromUtf8(caption), panel);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(place);
        // Enter on the focused button presses it, as Space does.
        b->setAutoDefault(true);
        b->setFocusPolicy(Qt::TabFocus);
        connect(b, &QPushButton::clicked, this,
                [command = std::move(command)] { runReported(command); });
    };
    button("BI", "表示フォルダ (F7) ", {0, 0, 120, 20}, [this] { chooseDisplayFolder(); });
    button("BO", "出力フォルダ (F8)", {125, 0, 120, 20}, [this] { chooseOutputFolder(); });
    button("BF", "全画面表示 (F9)", {250, 0, 120, 20}, [this] { enterFullScreen(); });
    button("BE", "終了 (F10)", {375, 0, 80, 20}, [this] { close(); });
    button("BHK", "設定 (F12)", {460, 0, 80, 20}, [this] { openShortcutKeyDialog(); });

    filterBox_ = new QComboBox(panel);
    filterBox_->setObjectName(QStringLiteral("BExt"));
    filterBox_->setEditable(true);
    filterBox_->setInsertPolicy(QComboBox::NoInsert);
    // The list is filtered by exactly what is typed: the patterns of the
    // drop-down are offered in a list to pick from, never filled in.
    filterBox_->completer()->setCompletionMode(QCompleter::PopupCompletion);
    filterBox_->setGeometry(0, 25, 115, 20);
    filterBox_->addItem(QStringLiteral("*.*"));
    filterBox_->setToolTip(QStringLiteral("ファイル種類を指定できます"));

    previewOffBox_ = new QCheckBox(QStringLiteral("プレビュー表示不要"), panel);
    previewOffBox_->setObjectName(QStringLiteral("PV"));
    previewOffBox_->setGeometry(125, 25, 125, 20);
    autoPlayBox_ = new QCheckBox(QStringLiteral("動画を自動再生"), panel);
    autoPlayBox_->setObjectName(QStringLiteral("pM"));
    autoPlayBox_->setGeometry(255, 25, 100, 20);
    return panel;
}

QSplitter* MainWindow::buildMiddle() {
    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->setObjectName(QStringLiteral("c_splitter"));
    splitter_->setHandleWidth(3);
    splitter_->setChildrenCollapsible(false);

    list_ = new FileListView(splitter_);
    box_ = new PreviewBox(splitter_);
    previewer_ = std::make_unique<Previewer>(*box_, *this, static_cast<PreviewStatus&>(*this));
    busy_ = std::make_unique<BusyDisplay>(*box_, *previewer_);

    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);
    splitter_->setSizes({150, 480});
    return splitter_;
}

void MainWindow::connectList() {
    for (QCheckBox* box : {previewOffBox_, autoPlayBox_}) {
        connect(box, &QCheckBox::clicked, this, [this] { previewCurrentEntry(); });
    }
    connect(filterBox_, &QComboBox::editTextChanged, this, [this](const QString& filter) {
        runReported([&] {
            list_->items().core().setFilter(filter.toStdString());
            fileList().refresh(currentEntryName());
        });
    });
    connect(list_, &FileListView::entryChosen, this, [this] { previewCurrentEntry(); });
    connect(list_, &FileListView::refreshed, this, [this] {
        // While the user types in or picks from the filter box, the list is
        // refilled but the preview stays.
        QWidget* focus = focusWidget();
        if (focus == nullptr || (focus != filterBox_ && !filterBox_->isAncestorOf(focus))) {
            previewCurrentEntry();
        }
    });
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState s) {
        if (s == Qt::ApplicationActive) {
            runReported([this] { refreshOnActivation(); });
        }
    });
}

// ---------------------------------------------------------------- settings

void MainWindow::loadSettings() {
    // The program folder comes from the executable's path (given in paths_);
    // the output folder starts there in case the settings cannot be read.
    displayFolder_.clear();
    outputFolder_ = paths_.defaultFolder;
    setWindowTitle(QString::fromUtf8(kAppTitle));
    previewer_->setCategoryLists({});
    try {
        if (!fileExists(paths_.settingsPath)) {
            SeedSettingsFile(paths_.settingsPath);
        }
        Settings defaults;
        defaults.outputFolder = paths_.defaultFolder;
        defaults.displayFolder = paths_.defaultFolder;
        defaults.nextKey = menu_->shortcut(0);
        defaults.previousKey = menu_->shortcut(1);
        defaults.pictureModeKey = menu_->shortcut(2);
        applySettings(LoadSettings(paths_.settingsPath, defaults));
    } catch (...) {
        // The remaining creation steps are skipped: the window keeps its
        // design state and the folders fall back at the first activation.
        reportError(currentExceptionKind());
    }
}

void MainWindow::applySettings(const Settings& s) {
    if (s.maximised) {
        resize(650, 500);
        setWindowState(windowState() | Qt::WindowMaximized);
    } else {
        resize(s.width, s.height);
    }
    move(s.left, s.top);
    previewOffBox_->setChecked(s.previewOff);
    autoPlayBox_->setChecked(s.autoPlay);
    splitter_->setSizes({s.listWidth, std::max(1, splitter_->width() - s.listWidth)});
    outputFolder_ = s.outputFolder;
    setDisplayFolder(s.displayFolder);
    previewer_->setCategoryLists(
        CategoryLists{s.textExtensions, s.mediaExtensions, s.imageExtensions});

    QStringList entries;
    for (const std::string& ext : s.filterExtensions) {
        entries.append(QStringLiteral("*.") + qs(ext));
    }
    std::stable_sort(entries.begin(), entries.end(), lessIgnoringCase);
    // "*.*" from the design stays first, whatever sorts before it.
    filterBox_->addItems(entries);
    filterBox_->setEditText(QStringLiteral("*.*"));

    menu_->setShortcut(0, s.nextKey);
    menu_->setShortcut(1, s.previousKey);
    menu_->setShortcut(2, s.pictureModeKey);
}

Settings MainWindow::currentSettings() const {
    Settings s;
    s.height = height();
    s.width = width();
    s.top = y();
    s.left = x();
    s.previewOff = previewOffBox_->isChecked();
    s.autoPlay = autoPlayBox_->isChecked();
    s.listWidth = list_->width();
    s.outputFolder = outputFolder_;
    s.displayFolder = displayFolder_;
    s.nextKey = menu_->shortcut(0);
    s.previousKey = menu_->shortcut(1);
    s.pictureModeKey = menu_->shortcut(2);
    return s;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    if (closed_) {
        return;
    }
    closed_ = true;
    previewer_->setCategoryLists({});
    try {
        SaveSettings(paths_.settingsPath, currentSettings(), isMaximized());
    } catch (...) {
        // A settings file that cannot be written is reported; the window
        // still closes, as the user asked.
        reportError(currentExceptionKind());
    }
    emit closed();
}

// ---------------------------------------------------------------- application events

void MainWindow::refreshOnActivation() {
    if (mediaOpen()) {
        return;
    }
    setDisplayFolder(existingFolderOr(displayFolder_, paths_.defaultFolder));
    setOutputFolder(existingFolderOr(outputFolder_, paths_.defaultFolder));
    fileList().refresh(currentEntryName());
}

void MainWindow::reportError(const std::string& kindName) {
    showInfo(errorInfoLine(kindName));
}

bool MainWindow::handleShortcutKey(int keyCode) {
    const bool functionKey = keyCode == vk::F7 || keyCode == vk::F8 || keyCode == vk::F9 ||
                             keyCode == vk::F10 || keyCode == vk::F12;
    const bool dialogShown = shortcutKeys_ != nullptr && shortcutKeys_->isVisible();
    // A modal prompt keeps the main window from taking input as a disabled
    // window would, so its keys do not start commands behind it.
    const bool takesInput = isEnabled() && QApplication::activeModalWidget() == nullptr;
    if (takesInput) {
        switch (keyCode) {
        case vk::F7:
            chooseDisplayFolder();
            break;
        case vk::F8:
            chooseOutputFolder();
            break;
        case vk::F9:
            enterFullScreen();
            break;
        case vk::F10:
            close();
            break;
        case vk::F12:
            openShortcutKeyDialog();
            break;
        default:
            break;
        }
        // The command ran; the key still goes on to the focused control.
    } else if (!dialogShown && functionKey &&
               !(fullScreenWindow_ != nullptr && fullScreenWindow_->isVisible() &&
                 fullScreenWindow_->hasMenuKeyOn(keyCode))) {
        // Swallowed, unless the full-screen window takes it as a menu key.
        return true;
    }
    if (dialogShown && (keyCode == vk::Back || keyCode == vk::Return || keyCode == vk::Escape ||
                        keyCode == vk::Space)) {
        // Hot-key fields cannot take these keys themselves; giving them here
        // also keeps them from pressing the dialog's buttons.
        shortcutKeys_->setFocusedFieldKey(keyCode);
        return true;
    }
    return false;
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    // Enter in a control that does not take it itself presses the action
    // button of the tool tab on show.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    QWidget* focus = focusWidget();
    // Push buttons take Enter themselves; check boxes and radio buttons do
    // not. The text pane's views take Enter too, even read-only: a key meant
    // for them must not start a batch operation.
    QWidget* text = box_->textPane();
    const bool takesEnter = qobject_cast<QPushButton*>(focus) != nullptr ||
                            (focus != nullptr && (focus == text || text->isAncestorOf(focus)));
    if (enter && !takesEnter && toolStrip_->pressActionOnShow()) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    fitBarsToPreviewArea();
    // While the window is first shown the splitter has not yet shared out its
    // width: apply the rule again once the pending layout events have run.
    QMetaObject::invokeMethod(
        this, [this] { fitBarsToPreviewArea(); }, Qt::QueuedConnection);
}

void MainWindow::fitBarsToPreviewArea() {
    const BoxBarWidths widths = boxBarWidths(box_->width());
    QProgressBar* progress = box_->progressBar();
    QSlider* slider = box_->slider();
    progress->resize(widths.progress, progress->height());
    slider->resize(widths.track, slider->height());
}

// ---------------------------------------------------------------- commands

void MainWindow::chooseDisplayFolder() {
    chooseFolder(true);
}

void MainWindow::chooseOutputFolder() {
    chooseFolder(false);
}

void MainWindow::enterFullScreen() {
    if (fullScreen_ != nullptr) {
        fullScreen_->enter();
    }
}

void MainWindow::openShortcutKeyDialog() {
    if (shortcutKeys_ == nullptr) {
        return;
    }
    shortcutKeys_->show();
    setEnabled(false);
}

void MainWindow::chooseFolder(bool displayFolder) {
    const QString caption =
        QString::fromUtf8(displayFolder ? kDisplayChooserCaption : kOutputChooserCaption);
    const std::string folder = displayFolder ? displayFolder_ : outputFolder_;
    // The chooser opens on the current directory; a folder that has gone
    // away leaves it where it was.
    if (!folder.empty()) {
        [[maybe_unused]] const int ignored = ::chdir(folder.c_str());
    }
    openFolderChooser(
        this, caption, folder,
        [this](const QString& chosenCaption, const std::string& path) {
            runReported([&] { applyChosenFolder(chosenCaption, path); });
        },
        outputFolder_);
}

void MainWindow::applyChosenFolder(const QString& caption, const std::string& path) {
    if (caption == QString::fromUtf8(kDisplayChooserCaption)) {
        setDisplayFolder(chosenFolder(path));
        fileList().refresh({});
    } else {
        setOutputFolder(chosenFolder(path));
    }
}

// ---------------------------------------------------------------- working state

void MainWindow::setDisplayFolder(const std::string& folder) {
    displayFolder_ = folder;
    list_->items().core().setFolder(folder);
    displayFolderBar_->setText(0, qs(displayFolderLine(folder)));
}

void MainWindow::setOutputFolder(const std::string& folder) {
    outputFolder_ = folder;
    outputFolderBar_->setText(0, qs(outputFolderLine(folder)));
}

std::string MainWindow::currentEntryName() const {
    return list_->items().core().SelectedName(-1);
}

void MainWindow::makeEntryCurrent(int index) {
    list_->makeCurrent(index);
    previewCurrentEntry();
}

bool MainWindow::mediaOpen() const {
    return previewer_->mediaOpen();
}

bool MainWindow::fullScreenOn() const {
    return fullScreen_ != nullptr && fullScreen_->isOn();
}

// ---------------------------------------------------------------- MainServices

Prompter& MainWindow::prompter() {
    if (testPrompter_ != nullptr) {
        return *testPrompter_;
    }
    return *boxPrompter_;
}

BusyIndicator& MainWindow::busy() {
    return *busy_;
}

FileListPort& MainWindow::fileList() {
    return list_->items();
}

void MainWindow::previewCurrentEntry() {
    runReported([this] {
        list_->setFocus();
        const FileListItemModel& items = list_->items();
        PreviewRequest request{displayFolder_,
                               std::nullopt,
                               previewOffBox_->isChecked(),
                               autoPlayBox_->isChecked(),
                               {}};
        const int index = items.currentIndex();
        if (items.count() > 0 && index >= 0) {
            request.name = currentEntryName();
            // The pictures next in the direction of travel, then behind, are
            // decoded ahead; full-screen stepping goes round the list.
            if (const int step = travelDirection(lastPreviewedIndex_, index, items.count())) {
                travelDirection_ = step;
            }
            lastPreviewedIndex_ = index;
            for (const int entry :
                 readAheadEntries(index, items.count(), travelDirection_, fullScreenOn())) {
                request.readAhead.push_back(items.name(entry));
            }
        }
        previewer_->previewEntry(request);
    });
}

QDateTime MainWindow::now() const {
    return clock_ ? clock_() : QDateTime::currentDateTime();
}

void MainWindow::showInfo(const std::string& text) {
    writeStatus(1, qs(text));
}

// ---------------------------------------------------------------- PreviewStatus

void MainWindow::showElapsed(const QString& text) {
    writeStatus(2, text);
}

void MainWindow::showFullScreenName(const QString& text) {
    if (fullScreenOn()) {
        fullScreenWindow_->setStatusText(0, text);
    }
}

void MainWindow::writeStatus(int panel, const QString& text) {
    infoBar_->setText(panel, text);
    if (fullScreenOn()) {
        fullScreenWindow_->setStatusText(panel, text);
    }
}

} // namespace harpoly::ui
