#pragma once

#include "core/folders/directory_outline.h"

#include <QAbstractItemModel>

namespace harpoly::ui {

// Shows a DirectoryOutline in a QTreeView. The outline stays the owner of the
// items and of every rule; this model only turns its items into indexes and
// passes its insertions and rebuilds on to the view. A folder whose
// sub-folders were never read offers an expander, and the view's fetchMore
// reads them.
class FolderTreeModel : public QAbstractItemModel, private OutlineObserver {
    Q_OBJECT
public:
    explicit FolderTreeModel(DirectoryOutline& outline);
    ~FolderTreeModel() override;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

    QModelIndex indexOf(const OutlineItem& item) const;
    // The item of an index; null for the invisible top.
    const OutlineItem* itemAt(const QModelIndex& index) const;

private:
    void beginInsert(const OutlineItem& parent, int count) override;
    void endInsert() override;
    void beginReset() override;
    void endReset() override;

    DirectoryOutline& outline_;
};

// A name from the file system as shown: UTF-8, else Shift-JIS, else UTF-8
// with replacement characters.
QString shownName(const std::string& bytes);

} // namespace harpoly::ui
