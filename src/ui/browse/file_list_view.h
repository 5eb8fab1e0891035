#pragma once

#include <QListView>

namespace harpoly::ui {

class FileListItemModel;

// The file list `FL`: the view over the list model, kept in step with the
// core list in both directions. The user's selection goes into the core; the
// core's current item (set by a refresh or by the program) comes into the
// view. The current item is distinct from the multi-selection.
class FileListView : public QListView {
    Q_OBJECT
public:
    explicit FileListView(QWidget* parent = nullptr);

    FileListItemModel& items() const { return *items_; }
    // Moves the current item to `index` without touching the selection.
    void makeCurrent(int index);

signals:
    // The user moved the current item (click or key), or clicked the entry
    // that is already current.
    void entryChosen();
    // The list has been read again and the view follows it.
    void refreshed();

protected:
    bool viewportEvent(QEvent* event) override;

private:
    void showCoreCurrent();
    void viewCurrentChanged(int row);
    void viewSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);

    FileListItemModel* items_;
    bool syncing_ = false;
    // The current row when the mouse was last pressed on the list.
    int rowAtPress_ = -1;
};

} // namespace harpoly::ui
