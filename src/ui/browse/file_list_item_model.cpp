#include "ui/browse/file_list_item_model.h"

#include "core/platform/shown_name.h"

namespace harpoly::ui {

FileListItemModel::FileListItemModel(QObject* parent) : QAbstractListModel(parent) {}

int FileListItemModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : core_.count();
}

QVariant FileListItemModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= core_.count()) {
        return {};
    }
    return QString::fromStdString(shownName(core_.names()[index.row()]));
}

void FileListItemModel::refresh(const std::string& name) {
    beginResetModel();
    try {
        core_.refresh(name);
    } catch (...) {
        endResetModel();
        throw;
    }
    endResetModel();
    if (afterRefresh_) {
        afterRefresh_();
    }
}

} // namespace harpoly::ui
