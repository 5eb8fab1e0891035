#pragma once

#include "ui/folders/folder_chooser.h"

#include <QPointer>
#include <QWidget>
#include <memory>
#include <string>

class QComboBox;
class QTreeView;

namespace harpoly {
class DirectoryOutline;
class FolderReader;
class Prompter;
class VolumeFolders;
class VolumeSource;
struct OutlineItem;
} // namespace harpoly

namespace harpoly::ui {

class FolderTreeModel;

// What the chooser reads and tells through; the defaults are the system's
// drives and folders and a message box, tests put their own in.
struct FolderChooserDeps {
    std::shared_ptr<const VolumeSource> volumes;
    std::shared_ptr<const FolderReader> reader;
    std::shared_ptr<VolumeFolders> folders; // current folder per volume
    std::shared_ptr<Prompter> prompter;     // the "no medium" warning
};

// The folder chooser `TFolder`: drive list `AD` and folder tree `CD` under the
// tool bar `P` with `B1` (confirm) and `B2` (close). Return confirms and Esc
// closes from any of its controls; Left and Right collapse and expand the
// selected folder even from the drive list.
class FolderChooserWindow : public QWidget {
    Q_OBJECT
public:
    FolderChooserWindow(QWidget* owner, const QString& caption,
                        std::unique_ptr<DirectoryOutline> outline, std::string outputFolder,
                        ApplyChosenFolderFn apply, FolderChooserDeps deps);
    ~FolderChooserWindow() override;

    DirectoryOutline& outline() { return *outline_; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The keys of every control of the chooser; true when the key is taken.
    bool handleKey(int key);
    void fillDriveList();
    // AD: opens the tree of the chosen drive, or warns when it has no medium.
    void switchDrive();
    // B1: closes, then hands the selected folder to the apply function.
    void confirm();
    void selectDriveEntry();
    void showOutline();
    void showExpansion(const OutlineItem& item);
    void showSelection();
    void viewExpanded(const QModelIndex& index, bool expanded);
    void viewCurrentChanged(const QModelIndex& index);

    QPointer<QWidget> owner_;
    std::string outputFolder_;
    ApplyChosenFolderFn apply_;
    FolderChooserDeps deps_;
    std::unique_ptr<DirectoryOutline> outline_;
    std::unique_ptr<FolderTreeModel> model_;
    bool syncing_ = false; // the view is being set from the outline
    bool closed_ = false;

    QComboBox* drives_ = nullptr; // AD
    QTreeView* tree_ = nullptr;   // CD
};

// The chooser of openFolderChooser with its dependencies given: builds the
// tree on `startFolder` (raising EOutlineError when its volume cannot be
// read, with nothing shown and `owner` left enabled), shows the chooser at the
// owner's top-left corner and disables the owner.
FolderChooserWindow* openFolderChooserWith(QWidget* owner, const QString& caption,
                                           const std::string& startFolder,
                                           const std::string& outputFolder,
                                           ApplyChosenFolderFn apply, FolderChooserDeps deps);

// The folder handed to the apply function: the path without a final "/", so
// the root "/" gives "".
std::string chosenFolderArgument(const std::string& fullPath);

} // namespace harpoly::ui
