#include "ui/folders/folder_tree_model.h"

#include <QApplication>
#include <QIcon>
#include <QStringDecoder>
#include <QStyle>

namespace harpoly::ui {

QString shownName(const std::string& bytes) {
    const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(view);
    if (!utf8.hasError()) {
        return text;
    }
    QStringDecoder sjis("Shift_JIS", QStringDecoder::Flag::Stateless);
    if (sjis.isValid()) {
        QString decoded = sjis.decode(view);
        if (!sjis.hasError()) {
            return decoded;
        }
    }
    return text;
}

FolderTreeModel::FolderTreeModel(DirectoryOutline& outline) : outline_(outline) {
    outline_.setObserver(this);
}

FolderTreeModel::~FolderTreeModel() {
    outline_.setObserver(nullptr);
}

const OutlineItem* FolderTreeModel::itemAt(const QModelIndex& index) const {
    return index.isValid() ? static_cast<const OutlineItem*>(index.internalPointer()) : nullptr;
}

QModelIndex FolderTreeModel::indexOf(const OutlineItem& item) const {
    return createIndex(item.row, 0, const_cast<OutlineItem*>(&item));
}

QModelIndex FolderTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0) {
        return {};
    }
    const OutlineItem* p = itemAt(parent);
    if (p == nullptr) {
        return row == 0 ? indexOf(outline_.root()) : QModelIndex();
    }
    if (row >= static_cast<int>(p->children.size())) {
        return {};
    }
    return indexOf(*p->children[static_cast<std::size_t>(row)]);
}

QModelIndex FolderTreeModel::parent(const QModelIndex& child) const {
    const OutlineItem* item = itemAt(child);
    if (item == nullptr || item->parent == nullptr) {
        return {};
    }
    return indexOf(*item->parent);
}

int FolderTreeModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0) {
        return 0;
    }
    const OutlineItem* p = itemAt(parent);
    return p == nullptr ? 1 : static_cast<int>(p->children.size());
}

int FolderTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant FolderTreeModel::data(const QModelIndex& index, int role) const {
    const OutlineItem* item = itemAt(index);
    if (item == nullptr) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return shownName(item->text);
    }
    if (role == Qt::DecorationRole) {
        const auto pixmap = item->expanded ? QStyle::SP_DirOpenIcon : QStyle::SP_DirClosedIcon;
        return QApplication::style()->standardIcon(pixmap);
    }
    return {};
}

bool FolderTreeModel::hasChildren(const QModelIndex& parent) const {
    const OutlineItem* p = itemAt(parent);
    return p == nullptr || !p->read || !p->children.empty();
}

bool FolderTreeModel::canFetchMore(const QModelIndex& parent) const {
    const OutlineItem* p = itemAt(parent);
    return p != nullptr && !p->read;
}

void FolderTreeModel::fetchMore(const QModelIndex& parent) {
    if (const OutlineItem* p = itemAt(parent); p != nullptr && !p->read) {
        outline_.readSubFolders(p->number);
    }
}

void FolderTreeModel::beginInsert(const OutlineItem& parent, int count) {
    beginInsertRows(indexOf(parent), 0, count - 1);
}

void FolderTreeModel::endInsert() {
    endInsertRows();
}

void FolderTreeModel::beginReset() {
    beginResetModel();
}

void FolderTreeModel::endReset() {
    endResetModel();
}

} // namespace harpoly::ui
