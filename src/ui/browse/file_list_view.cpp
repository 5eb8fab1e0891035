#include "ui/browse/file_list_view.h"

#include "ui/browse/file_list_item_model.h"

#include <QEvent>

namespace harpoly::ui {

FileListView::FileListView(QWidget* parent)
    : QListView(parent), items_(new FileListItemModel(this)) {
    setObjectName(QStringLiteral("FL"));
    setModel(items_);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    setContextMenuPolicy(Qt::NoContextMenu);
    setMinimumWidth(20);

    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                viewCurrentChanged(current.isValid() ? current.row() : -1);
            });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &FileListView::viewSelectionChanged);
    // A click on the entry that is already current chooses it again, as a
    // click on another entry does (that one runs through currentChanged).
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        if (index.isValid() && index.row() == rowAtPress_ &&
            index.row() == items_->currentIndex()) {
            emit entryChosen();
        }
    });
    items_->setAfterRefresh([this] {
        showCoreCurrent();
        emit refreshed();
    });
}

bool FileListView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        rowAtPress_ = items_->currentIndex();
    }
    return QListView::viewportEvent(event);
}

void FileListView::makeCurrent(int index) {
    items_->core().setCurrent(index);
    showCoreCurrent();
}

void FileListView::showCoreCurrent() {
    syncing_ = true;
    const int current = items_->currentIndex();
    // The view's selection already matches the core's: a refresh empties
    // both, and a move of the current item by program leaves both.
    if (current >= 0) {
        const QModelIndex index = items_->index(current);
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
        scrollTo(index);
    } else {
        selectionModel()->setCurrentIndex({}, QItemSelectionModel::NoUpdate);
    }
    syncing_ = false;
}

void FileListView::viewCurrentChanged(int row) {
    if (syncing_ || row < 0) {
        return;
    }
    items_->core().setCurrent(row);
    emit entryChosen();
}

void FileListView::viewSelectionChanged(const QItemSelection& selected,
                                        const QItemSelection& deselected) {
    if (syncing_) {
        return;
    }
    auto& core = items_->core();
    for (const QModelIndex& index : deselected.indexes()) {
        core.setSelected(index.row(), false);
    }
    for (const QModelIndex& index : selected.indexes()) {
        core.setSelected(index.row(), true);
    }
}

} // namespace harpoly::ui
