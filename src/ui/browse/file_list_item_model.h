#pragma once

#include "core/browse/file_list_model.h"

#include <QAbstractListModel>
#include <functional>

namespace harpoly::ui {

// The file list `FL` as a Qt list model over the core list: one row per
// entry, shown by its decoded name. Its refresh() resets the model around the
// core's re-read, so every caller of the list's refresh (the activation, the
// filter box, the batch operations) keeps the view in step, then runs the
// after-refresh callback (the window's selection sync and preview).
class FileListItemModel : public QAbstractListModel, public FileListPort {
    Q_OBJECT
public:
    explicit FileListItemModel(QObject* parent = nullptr);

    FileListModel& core() { return core_; }
    const FileListModel& core() const { return core_; }
    void setAfterRefresh(std::function<void()> callback) { afterRefresh_ = std::move(callback); }

    // QAbstractListModel
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // FileListPort
    int count() const override { return core_.count(); }
    std::string name(int index) const override { return core_.name(index); }
    bool isSelected(int index) const override { return core_.isSelected(index); }
    bool anySelected() const override { return core_.anySelected(); }
    int currentIndex() const override { return core_.currentIndex(); }
    void refresh(const std::string& name) override;

private:
    FileListModel core_;
    std::function<void()> afterRefresh_;
};

} // namespace harpoly::ui
