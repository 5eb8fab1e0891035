#include "ui/folders/folder_chooser_window.h"

#include "core/app/ui_ports.h"
#include "core/folders/directory_outline.h"
#include "core/folders/volume_switch.h"
#include "core/platform/volumes.h"
#include "ui/folders/folder_tree_model.h"
#include "ui/ui_font.h"

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTreeView>

namespace harpoly::ui {

namespace {
constexpr int clientWidth = 286;
constexpr int clientHeight = 460;
constexpr int toolBarHeight = 29;
} // namespace

std::string chosenFolderArgument(const std::string& fullPath) {
    std::string path = fullPath;
    while (!path.empty() && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

FolderChooserWindow::FolderChooserWindow(QWidget* owner, const QString& caption,
                                         std::unique_ptr<DirectoryOutline> outline,
                                         std::string outputFolder, ApplyChosenFolderFn apply,
                                         FolderChooserDeps deps)
    : QWidget(owner, Qt::Dialog), owner_(owner), outputFolder_(std::move(outputFolder)),
      apply_(std::move(apply)), deps_(std::move(deps)), outline_(std::move(outline)),
      model_(std::make_unique<FolderTreeModel>(*outline_)) {
    setObjectName(QStringLiteral("TFolder"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(caption);
    setFont(uiFont(12));
    setFixedSize(clientWidth, clientHeight);

    auto* toolBar = new QWidget(this);
    toolBar->setObjectName(QStringLiteral("P"));
    toolBar->setGeometry(0, 0, clientWidth, toolBarHeight);

    drives_ = new QComboBox(toolBar);
    drives_->setObjectName(QStringLiteral("AD"));
    drives_->setGeometry(2, 3, 60, 23);
    drives_->setToolTip(QStringLiteral("現在表示されているドライブ名です"));

    auto* confirmButton = new QPushButton(QStringLiteral("決定 (RETURN)"), toolBar);
    confirmButton->setObjectName(QStringLiteral("B1"));
    confirmButton->setGeometry(66, 3, 110, 23);

    auto* closeButton = new QPushButton(QStringLiteral("閉じる (ESC)"), toolBar);
    closeButton->setObjectName(QStringLiteral("B2"));
    closeButton->setGeometry(180, 3, 90, 23);

    tree_ = new QTreeView(this);
    tree_->setObjectName(QStringLiteral("CD"));
    tree_->setGeometry(0, toolBarHeight, clientWidth, clientHeight - toolBarHeight);
    tree_->setHeaderHidden(true);
    tree_->setUniformRowHeights(true);
    tree_->setIconSize(QSize(14, 14));
    tree_->setModel(model_.get());

    connect(drives_, &QComboBox::activated, this, [this] { switchDrive(); });
    connect(confirmButton, &QPushButton::clicked, this, [this] { confirm(); });
    connect(closeButton, &QPushButton::clicked, this, [this] { close(); });
    connect(tree_, &QTreeView::expanded, this,
            [this](const QModelIndex& i) { viewExpanded(i, true); });
    connect(tree_, &QTreeView::collapsed, this,
            [this](const QModelIndex& i) { viewExpanded(i, false); });
    connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { viewCurrentChanged(current); });

    for (QObject* o : std::initializer_list<QObject*>{this, toolBar, drives_, confirmButton,
                                                      closeButton, tree_, tree_->viewport()}) {
        o->installEventFilter(this);
    }

    showOutline();
    fillDriveList();
    tree_->setFocus();
}

FolderChooserWindow::~FolderChooserWindow() {
    // The view lets go of the model before the model lets go of the outline.
    tree_->setModel(nullptr);
    model_.reset();
}

void FolderChooserWindow::fillDriveList() {
    for (const auto& volume : outline_->volumes()) {
        drives_->addItem(shownName(volume),
                         QByteArray(volume.data(), static_cast<qsizetype>(volume.size())));
    }
    // The box stays 60 pixels wide; its list opens wide enough for long mount points.
    drives_->view()->setMinimumWidth(drives_->view()->sizeHintForColumn(0) + 24);
    selectDriveEntry();
}

void FolderChooserWindow::selectDriveEntry() {
    const QByteArray volume(outline_->volume().data(),
                            static_cast<qsizetype>(outline_->volume().size()));
    drives_->setCurrentIndex(drives_->findData(volume));
}

void FolderChooserWindow::switchDrive() {
    const QByteArray chosen = drives_->currentData().toByteArray();
    tree_->setFocus();
    if (chosen.isEmpty()) {
        return;
    }
    if (switchVolume(*outline_, *deps_.volumes, chosen.toStdString(), outputFolder_)) {
        showOutline();
        return;
    }
    deps_.prompter->notice("ディスクあるいはメディアが入っていません。", "警告");
    selectDriveEntry();
}

void FolderChooserWindow::confirm() {
    close();
    // The chooser is only deleted once this event is done, so the tree is
    // still there to be read.
    const std::string path = chosenFolderArgument(outline_->fullPath(outline_->selected()));
    const QString caption = windowTitle();
    if (ApplyChosenFolderFn apply = apply_) {
        apply(caption, path);
    }
}

void FolderChooserWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The chooser opens with the focus on the tree, so that the arrow keys
    // move through the folders at once.
    tree_->setFocus();
}

void FolderChooserWindow::closeEvent(QCloseEvent* event) {
    closed_ = true;
    if (owner_) {
        owner_->setEnabled(true);
    }
    event->accept();
}

bool FolderChooserWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && !closed_) {
        return handleKey(static_cast<QKeyEvent*>(event)->key());
    }
    return QWidget::eventFilter(watched, event);
}

bool FolderChooserWindow::handleKey(int key) {
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        confirm();
        return true;
    case Qt::Key_Escape:
        close();
        return false;
    case Qt::Key_Left:
        outline_->collapse(outline_->selected());
        showOutline();
        return true;
    case Qt::Key_Right:
        outline_->expand(outline_->selected());
        showOutline();
        return true;
    default:
        return false;
    }
}

void FolderChooserWindow::showOutline() {
    QScopedValueRollback guard(syncing_, true);
    showExpansion(outline_->root());
    showSelection();
}

void FolderChooserWindow::showExpansion(const OutlineItem& item) {
    if (!item.read) {
        return;
    }
    tree_->setExpanded(model_->indexOf(item), item.expanded);
    for (const auto& child : item.children) {
        if (child->read) {
            showExpansion(*child);
        }
    }
}

void FolderChooserWindow::showSelection() {
    QScopedValueRollback guard(syncing_, true);
    const QModelIndex index = model_->indexOf(outline_->item(outline_->selected()));
    tree_->setCurrentIndex(index);
    tree_->scrollTo(index);
}

void FolderChooserWindow::viewExpanded(const QModelIndex& index, bool expanded) {
    const OutlineItem* item = model_->itemAt(index);
    if (syncing_ || item == nullptr) {
        return;
    }
    if (expanded) {
        outline_->expand(item->number);
    } else {
        outline_->collapse(item->number);
        showSelection();
    }
}

void FolderChooserWindow::viewCurrentChanged(const QModelIndex& index) {
    const OutlineItem* item = model_->itemAt(index);
    if (syncing_ || item == nullptr) {
        return;
    }
    outline_->setSelected(item->number);
    if (outline_->selected() != item->number) {
        showSelection();
    }
}

FolderChooserWindow* openFolderChooserWith(QWidget* owner, const QString& caption,
                                           const std::string& startFolder,
                                           const std::string& outputFolder,
                                           ApplyChosenFolderFn apply, FolderChooserDeps deps) {
    auto outline =
        std::make_unique<DirectoryOutline>(*deps.reader, *deps.folders, deps.volumes->volumes(),
                                           openingFolder(startFolder, *deps.folders));
    auto* chooser = new FolderChooserWindow(owner, caption, std::move(outline), outputFolder,
                                            std::move(apply), std::move(deps));
    if (owner != nullptr) {
        chooser->move(owner->window()->pos());
        owner->setEnabled(false);
        // A window stays usable while its owner is disabled only when
        // enabled on its own. Disabling took the focus from the tree; the
        // show event gives it back.
        chooser->setEnabled(true);
    }
    chooser->show();
    // The keys go to the chooser: the owner, now disabled, would drop them,
    // and not every window manager focuses a new window by itself.
    chooser->activateWindow();
    return chooser;
}

} // namespace harpoly::ui
