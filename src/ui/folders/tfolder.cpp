#include "ui/folders/tfolder.h"

#include "core/app/ui_ports.h"
#include "core/folders/directory_outline.h"
#include "ui/folders/folder_tree_model.h"
#include "core/folders/volume_switch.h"
#include "core/platform/volumes.h"
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

TFolder::TFolder(QWidget* owner, const QString& caption, std::unique_ptr<DirectoryOutline> outline,
                 std::string outputFolder, ApplyChosenFolderFn apply, FolderChooserDeps deps)
    : QWidget(owner, Qt::Dialog), owner_(owner), outputFolder_(std::move(outputFolder)),
      apply_(std::move(apply)), deps_(std::move(deps)), outline_(std::move(outline)),
      model_(std::make_unique<FolderTreeModel>(*outline_)) {
    setObjectName(QStringLiteral("TFolder"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(caption);
    setFont(uiFont(12));
    setFixedSize(clientWidth, clientHeight);

    P = new QWidget(this);
    P->setObjectName(QStringLiteral("P"));
    P->setGeometry(0, 0, clientWidth, toolBarHeight);

    AD = new QComboBox(P);
    AD->setObjectName(QStringLiteral("AD"));
    AD->setGeometry(2, 3, 60, 23);
    AD->setToolTip(QStringLiteral("現在表示されているドライブ名です"));

    B1 = new QPushButton(QStringLiteral("決定 (RETURN)"), P);
    B1->setObjectName(QStringLiteral("B1"));
    B1->setGeometry(66, 3, 110, 23);

    B2 = new QPushButton(QStringLiteral("閉じる (ESC)"), P);
    B2->setObjectName(QStringLiteral("B2"));
    B2->setGeometry(180, 3, 90, 23);

    CD = new QTreeView(this);
    CD->setObjectName(QStringLiteral("CD"));
    CD->setGeometry(0, toolBarHeight, clientWidth, clientHeight - toolBarHeight);
    CD->setHeaderHidden(true);
    CD->setUniformRowHeights(true);
    CD->setIconSize(QSize(14, 14));
    CD->setModel(model_.get());

    connect(AD, &QComboBox::activated, this, [this] { ADChange(); });
    connect(B1, &QPushButton::clicked, this, [this] { B1Click(); });
    connect(B2, &QPushButton::clicked, this, [this] { B2Click(); });
    connect(CD, &QTreeView::expanded, this,
            [this](const QModelIndex& i) { viewExpanded(i, true); });
    connect(CD, &QTreeView::collapsed, this,
            [this](const QModelIndex& i) { viewExpanded(i, false); });
    connect(CD->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { viewCurrentChanged(current); });

    for (QObject* o :
         {static_cast<QObject*>(this), static_cast<QObject*>(P), static_cast<QObject*>(AD),
          static_cast<QObject*>(B1), static_cast<QObject*>(B2), static_cast<QObject*>(CD),
          static_cast<QObject*>(CD->viewport())}) {
        o->installEventFilter(this);
    }

    showOutline();
    FormCreate();
    CD->setFocus();
}

TFolder::~TFolder() {
    // The view lets go of the model before the model lets go of the outline.
    CD->setModel(nullptr);
    model_.reset();
}

void TFolder::FormCreate() {
    for (const auto& volume : outline_->volumes()) {
        AD->addItem(shownName(volume),
                    QByteArray(volume.data(), static_cast<qsizetype>(volume.size())));
    }
    // The box stays 60 pixels wide; its list opens wide enough for long mount points.
    AD->view()->setMinimumWidth(AD->view()->sizeHintForColumn(0) + 24);
    selectDriveEntry();
}

void TFolder::selectDriveEntry() {
    const QByteArray volume(outline_->volume().data(),
                            static_cast<qsizetype>(outline_->volume().size()));
    AD->setCurrentIndex(AD->findData(volume));
}

void TFolder::ADChange() {
    const QByteArray chosen = AD->currentData().toByteArray();
    CD->setFocus();
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

void TFolder::B1Click() {
    close();
    // The chooser is only deleted once this event is done, so the tree is
    // still there to be read.
    const std::string path = chosenFolderArgument(outline_->fullPath(outline_->selected()));
    const QString caption = windowTitle();
    if (ApplyChosenFolderFn apply = apply_) {
        apply(caption, path);
    }
}

void TFolder::B2Click() {
    close();
}

void TFolder::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The chooser opens with the focus on the tree, so that the arrow keys
    // move through the folders at once.
    CD->setFocus();
}

void TFolder::closeEvent(QCloseEvent* event) {
    closed_ = true;
    if (owner_) {
        owner_->setEnabled(true);
    }
    event->accept();
}

bool TFolder::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && !closed_) {
        return FormShortCut(static_cast<QKeyEvent*>(event)->key());
    }
    return QWidget::eventFilter(watched, event);
}

bool TFolder::FormShortCut(int key) {
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        B1Click();
        return true;
    case Qt::Key_Escape:
        B2Click();
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

void TFolder::showOutline() {
    QScopedValueRollback guard(syncing_, true);
    showExpansion(outline_->root());
    showSelection();
}

void TFolder::showExpansion(const OutlineItem& item) {
    if (!item.read) {
        return;
    }
    CD->setExpanded(model_->indexOf(item), item.expanded);
    for (const auto& child : item.children) {
        if (child->read) {
            showExpansion(*child);
        }
    }
}

void TFolder::showSelection() {
    QScopedValueRollback guard(syncing_, true);
    const QModelIndex index = model_->indexOf(outline_->item(outline_->selected()));
    CD->setCurrentIndex(index);
    CD->scrollTo(index);
}

void TFolder::viewExpanded(const QModelIndex& index, bool expanded) {
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

void TFolder::viewCurrentChanged(const QModelIndex& index) {
    const OutlineItem* item = model_->itemAt(index);
    if (syncing_ || item == nullptr) {
        return;
    }
    outline_->setSelected(item->number);
    if (outline_->selected() != item->number) {
        showSelection();
    }
}

TFolder* openFolderChooserWith(QWidget* owner, const QString& caption,
                               const std::string& startFolder, const std::string& outputFolder,
                               ApplyChosenFolderFn apply, FolderChooserDeps deps) {
    auto outline =
        std::make_unique<DirectoryOutline>(*deps.reader, *deps.folders, deps.volumes->volumes(),
                                           openingFolder(startFolder, *deps.folders));
    auto* chooser = new TFolder(owner, caption, std::move(outline), outputFolder, std::move(apply),
                                std::move(deps));
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
