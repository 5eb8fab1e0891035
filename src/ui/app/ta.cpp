// The main window: its layout, its creation from the settings file, the
// activation refresh, the error handler and the close.
#include "ui/app/ta.h"

#include "core/app/activation.h"
#include "core/app/error_text.h"
#include "core/app/key_names.h"
#include "core/app/window_rules.h"
#include "core/settings/comma_text.h"
#include "core/settings/settings.h"
#include "ui/app/harpoly_application.h"
#include "ui/app/message_box_prompter.h"
#include "ui/app/panel_bar.h"
#include "ui/browse/file_list_item_model.h"
#include "ui/browse/image_pane.h"
#include "ui/browse/media_player.h"
#include "ui/browse/preview_box.h"
#include "ui/browse/previewer.h"
#include "ui/fullscreen/full_screen_menu.h"
#include "ui/fullscreen/full_screen_mode.h"
#include "ui/fullscreen/tfull.h"
#include "ui/fullscreen/thk.h"
#include "ui/ui_font.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <sys/stat.h>

namespace harpoly::ui {

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

QPushButton* makeButton(QWidget* parent, const char* name, const char* caption, QRect place) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(place);
    button->setAutoDefault(false);
    button->setFocusPolicy(Qt::TabFocus);
    return button;
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

TA::TA(TAPaths paths, QWidget* parent) : QWidget(parent), paths_(std::move(paths)) {
    setObjectName(QStringLiteral("TA"));
    setFont(uiFont(12));
    setGeometry(369, 157, 650, 500);
    setToolTipDuration(-1);

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(4, 4, 4, 4);
    root->setSpacing(0);

    buildTopPanel();
    root->addWidget(P);

    SF = new PanelBar(QStringLiteral("SF"), {75, 450}, 19, this);
    SF->setText(0, QStringLiteral(" ファイル情報"));
    root->addWidget(SF);

    buildMiddle();
    root->addWidget(c_splitter, 1);

    SI = new PanelBar(QStringLiteral("SI"), {}, 18, this);
    SO = new PanelBar(QStringLiteral("SO"), {}, 18, this);
    root->addWidget(SI);
    root->addWidget(SO);

    buildToolStrip();
    root->addWidget(Utility);

    menu_ = std::make_unique<FullScreenMenu>(this);
    boxPrompter_ = std::make_unique<MessageBoxPrompter>(this);

    FormCreate();
    connectSignals();
}

TA::~TA() = default;

void TA::setSecondaryWindows(TFull* full, THK* hk) {
    full_ = full;
    hk_ = hk;
    // The main window is disabled while either window is shown, and a widget
    // disables its children with it, child windows included: so neither may
    // be a child of the main window. Their owner (start-up) keeps them.
    for (QWidget* window : {static_cast<QWidget*>(full_), static_cast<QWidget*>(hk_)}) {
        if (window != nullptr && window->parentWidget() == this) {
            window->setParent(nullptr, window->windowFlags());
        }
    }
    if (full_ != nullptr) {
        FullScreenMode::MainWindowParts parts;
        parts.window = this;
        parts.previewOff = PV;
        parts.autoPlay = pM;
        parts.splitter = c_splitter;
        parts.box = BOX;
        parts.previewer = previewer_.get();
        parts.list = listModel_.get();
        parts.previewCurrentEntry = [this] { FLClick(); };
        parts.makeEntryCurrent = [this](int index) { setCurrentItem(index); };
        fullScreen_ = new FullScreenMode(std::move(parts), *full_, *menu_);
    }
    if (hk_ != nullptr) {
        hk_->setKeyStore([this](int index) { return menu_->shortcut(index); },
                         [this](int index, ShortcutCode code) { menu_->setShortcut(index, code); });
    }
}

// ---------------------------------------------------------------- layout

void TA::buildTopPanel() {
    P = new QWidget(this);
    P->setObjectName(QStringLiteral("P"));
    P->setFixedHeight(48);
    BI = makeButton(P, "BI", "表示フォルダ (F7) ", {0, 0, 120, 20});
    BO = makeButton(P, "BO", "出力フォルダ (F8)", {125, 0, 120, 20});
    BF = makeButton(P, "BF", "全画面表示 (F9)", {250, 0, 120, 20});
    BE = makeButton(P, "BE", "終了 (F10)", {375, 0, 80, 20});
    BHK = makeButton(P, "BHK", "設定 (F12)", {460, 0, 80, 20});

    BExt = new QComboBox(P);
    BExt->setObjectName(QStringLiteral("BExt"));
    BExt->setEditable(true);
    BExt->setInsertPolicy(QComboBox::NoInsert);
    BExt->setGeometry(0, 25, 115, 20);
    BExt->addItem(QStringLiteral("*.*"));
    BExt->setToolTip(QStringLiteral("ファイル種類を指定できます"));

    PV = new QCheckBox(QStringLiteral("プレビュー表示不要"), P);
    PV->setObjectName(QStringLiteral("PV"));
    PV->setGeometry(125, 25, 125, 20);
    pM = new QCheckBox(QStringLiteral("動画を自動再生"), P);
    pM->setObjectName(QStringLiteral("pM"));
    pM->setGeometry(255, 25, 100, 20);
}

void TA::buildMiddle() {
    c_splitter = new QSplitter(Qt::Horizontal, this);
    c_splitter->setObjectName(QStringLiteral("c_splitter"));
    c_splitter->setHandleWidth(3);
    c_splitter->setChildrenCollapsible(false);

    listModel_ = std::make_unique<FileListItemModel>();
    FL = new QListView(c_splitter);
    FL->setObjectName(QStringLiteral("FL"));
    FL->setModel(listModel_.get());
    FL->setSelectionMode(QAbstractItemView::ExtendedSelection);
    FL->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FL->setUniformItemSizes(true);
    FL->setContextMenuPolicy(Qt::NoContextMenu);
    FL->setMinimumWidth(20);

    BOX = new PreviewBox(c_splitter);
    IMG = BOX->picturePane();
    TXT = BOX->textPane();
    MPP = BOX->mediaPanel();
    MPC = BOX->player();
    MPt = BOX->slider();
    PB = BOX->progressBar();
    previewer_ = std::make_unique<Previewer>(*BOX, *this, static_cast<PreviewStatus&>(*this));

    c_splitter->setStretchFactor(0, 0);
    c_splitter->setStretchFactor(1, 1);
    c_splitter->setSizes({150, 480});
}

void TA::buildToolStrip() {
    Utility = new QTabWidget(this);
    Utility->setObjectName(QStringLiteral("Utility"));
    Utility->setTabPosition(QTabWidget::South);
    Utility->setDocumentMode(true);
    Utility->setFixedHeight(49);
    // The pages are clipped by a narrow window rather than holding it wide.
    Utility->setMinimumWidth(1);
    Utility->tabBar()->setStyleSheet(QStringLiteral("QTabBar::tab { height: 15px; }"));

    using Factory = ToolTab (*)(MainServices&);
    const Factory factories[] = {makeRename1Tab,   makeRename2Tab,   makeRename3Tab,
                                 makeExtensionTab, makeLinkTab,      makeJpegSize1Tab,
                                 makeJpegSize2Tab, makeTimestampTab, makeIconTab};
    for (Factory make : factories) {
        ToolTab tab = make(*this);
        const int index = Utility->addTab(tab.page, tab.caption);
        Utility->setTabToolTip(index, tab.hint);
        tabs_.push_back(tab);
    }
    Utility->setCurrentIndex(0);
}

void TA::connectSignals() {
    connect(BI, &QPushButton::clicked, this, [this] { runReported([this] { BIClick(); }); });
    connect(BO, &QPushButton::clicked, this, [this] { runReported([this] { BOClick(); }); });
    connect(BF, &QPushButton::clicked, this, [this] { runReported([this] { BFClick(); }); });
    connect(BE, &QPushButton::clicked, this, [this] { runReported([this] { BEClick(); }); });
    connect(BHK, &QPushButton::clicked, this, [this] { runReported([this] { BHKClick(); }); });
    connect(PV, &QCheckBox::clicked, this, [this] { runReported([this] { FLClick(); }); });
    connect(pM, &QCheckBox::clicked, this, [this] { runReported([this] { FLClick(); }); });
    connect(BExt, &QComboBox::editTextChanged, this,
            [this] { runReported([this] { BExtChange(); }); });
    connect(FL->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                runReported([&] { onViewCurrentChanged(current.isValid() ? current.row() : -1); });
            });
    // A click on the entry that is already current previews it again, as a
    // click on another entry does (that one runs through currentChanged).
    FL->viewport()->installEventFilter(this);
    connect(FL, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        if (index.isValid() && index.row() == rowAtPress_ &&
            index.row() == listModel_->currentIndex()) {
            runReported([this] { FLClick(); });
        }
    });
    connect(FL->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected, const QItemSelection& deselected) {
                if (syncingView_) {
                    return;
                }
                auto& core = listModel_->core();
                for (const QModelIndex& index : deselected.indexes()) {
                    core.setSelected(index.row(), false);
                }
                for (const QModelIndex& index : selected.indexes()) {
                    core.setSelected(index.row(), true);
                }
            });
    listModel_->setAfterRefresh([this] {
        syncViewToModel();
        // While the user types in or picks from the filter box, the list is
        // refilled but the preview stays.
        QWidget* focus = focusWidget();
        const bool filterHasFocus =
            focus != nullptr && (focus == BExt || BExt->isAncestorOf(focus));
        if (!filterHasFocus) {
            // A preview that fails is reported here, so that callers of the
            // list's refresh (the tool tabs among them) never see it thrown.
            runReported([this] { FLClick(); });
        }
    });
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState s) {
        if (s == Qt::ApplicationActive) {
            runReported([this] { AEActivate(); });
        }
    });
}

bool TA::eventFilter(QObject* watched, QEvent* event) {
    if (watched == FL->viewport() && event->type() == QEvent::MouseButtonPress) {
        rowAtPress_ = listModel_->currentIndex();
    }
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------- form events

void TA::FormCreate() {
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
        AEException(currentExceptionKind());
    }
}

void TA::applySettings(const Settings& s) {
    if (s.maximised) {
        resize(650, 500);
        setWindowState(windowState() | Qt::WindowMaximized);
    } else {
        resize(s.width, s.height);
    }
    move(s.left, s.top);
    PV->setChecked(s.previewOff);
    pM->setChecked(s.autoPlay);
    c_splitter->setSizes({s.listWidth, std::max(1, c_splitter->width() - s.listWidth)});
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
    BExt->addItems(entries);
    BExt->setEditText(QStringLiteral("*.*"));

    menu_->setShortcut(0, s.nextKey);
    menu_->setShortcut(1, s.previousKey);
    menu_->setShortcut(2, s.pictureModeKey);
}

Settings TA::currentSettings() const {
    Settings s;
    s.height = height();
    s.width = width();
    s.top = y();
    s.left = x();
    s.previewOff = PV->isChecked();
    s.autoPlay = pM->isChecked();
    s.listWidth = FL->width();
    s.outputFolder = outputFolder_;
    s.displayFolder = displayFolder_;
    s.nextKey = menu_->shortcut(0);
    s.previousKey = menu_->shortcut(1);
    s.pictureModeKey = menu_->shortcut(2);
    return s;
}

void TA::AEActivate() {
    if (mediaOpen()) {
        return;
    }
    setDisplayFolder(existingFolderOr(displayFolder_, paths_.defaultFolder));
    setOutputFolder(existingFolderOr(outputFolder_, paths_.defaultFolder));
    RefreshFileList(SelectedName(-1));
}

void TA::AEException(const std::string& kindName) {
    SetInfoText(errorInfoLine(kindName));
}

void TA::FormResize() {
    const BoxBarWidths widths = boxBarWidths(BOX->width());
    PB->resize(widths.progress, PB->height());
    MPt->resize(widths.track, MPt->height());
}

void TA::FormClose() {
    previewer_->setCategoryLists({});
    SaveSettings(paths_.settingsPath, currentSettings(), isMaximized());
}

void TA::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FormResize();
    // While the window is first shown the splitter has not yet shared out its
    // width: apply the rule again once the pending layout events have run.
    QMetaObject::invokeMethod(
        this, [this] { FormResize(); }, Qt::QueuedConnection);
}

void TA::closeEvent(QCloseEvent* event) {
    if (!closed_) {
        closed_ = true;
        try {
            FormClose();
        } catch (...) {
            // A settings file that cannot be written is reported; the window
            // still closes, as the user asked.
            AEException(currentExceptionKind());
        }
        event->accept();
        emit formClosed();
        return;
    }
    event->accept();
}

// ---------------------------------------------------------------- folders

void TA::setDisplayFolder(const std::string& folder) {
    displayFolder_ = folder;
    listModel_->core().setFolder(folder);
    SI->setText(0, qs(displayFolderLine(folder)));
}

void TA::setOutputFolder(const std::string& folder) {
    outputFolder_ = folder;
    SO->setText(0, qs(outputFolderLine(folder)));
}

bool TA::mediaOpen() const {
    return previewer_->mediaOpen();
}

// ---------------------------------------------------------------- preview

void TA::FLClick() {
    FL->setFocus();
    const FileListItemModel& list = *listModel_;
    std::optional<std::string> current;
    if (list.count() > 0 && list.currentIndex() >= 0) {
        current = SelectedName(-1);
    }
    previewer_->previewEntry({displayFolder_, current, PV->isChecked(), pM->isChecked()});
}

void TA::previewCurrent() {
    runReported([this] { FLClick(); });
}

void TA::SetInfoText(const std::string& text) {
    const QString shown = QString::fromStdString(text);
    SF->setText(1, shown);
    if (fullScreenOn()) {
        full_->setStatusText(1, shown);
    }
}

void TA::showElapsed(const QString& text) {
    SF->setText(2, text);
    if (fullScreenOn()) {
        full_->setStatusText(2, text);
    }
}

void TA::showFullScreenName(const QString& text) {
    if (fullScreenOn()) {
        full_->setStatusText(0, text);
    }
}

bool TA::fullScreenOn() const {
    return fullScreen_ != nullptr && fullScreen_->isOn();
}

void TA::BFClick() {
    if (fullScreen_ != nullptr) {
        fullScreen_->enter();
    }
}

} // namespace harpoly::ui
