#pragma once

#include "ui/folders/folder_chooser.h"

#include <QPointer>
#include <QWidget>
#include <memory>
#include <string>

class QComboBox;
class QPushButton;
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

// The folder chooser: drive list `AD` and folder tree `CD` under the tool bar
// `P` with `B1` (confirm) and `B2` (close).
class TFolder : public QWidget {
    Q_OBJECT
public:
    TFolder(QWidget* owner, const QString& caption, std::unique_ptr<DirectoryOutline> outline,
            std::string outputFolder, ApplyChosenFolderFn apply, FolderChooserDeps deps);
    ~TFolder() override;

    DirectoryOutline& outline() { return *outline_; }

    void FormCreate();
    void ADChange();
    void B1Click();
    void B2Click();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;               // FormClose
    bool eventFilter(QObject* watched, QEvent* event) override; // FormShortCut

private:
    bool FormShortCut(int key);
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

    QWidget* P = nullptr;
    QComboBox* AD = nullptr;
    QPushButton* B1 = nullptr;
    QPushButton* B2 = nullptr;
    QTreeView* CD = nullptr;
};

// The chooser of openFolderChooser with its dependencies given: builds the
// tree on `startFolder` (raising EOutlineError when its volume cannot be
// read, with nothing shown and `owner` left enabled), shows the chooser at the
// owner's top-left corner and disables the owner.
TFolder* openFolderChooserWith(QWidget* owner, const QString& caption,
                               const std::string& startFolder, const std::string& outputFolder,
                               ApplyChosenFolderFn apply, FolderChooserDeps deps);

// The folder handed to the apply function: the path without a final "/", so
// the root "/" gives "".
std::string chosenFolderArgument(const std::string& fullPath);

} // namespace harpoly::ui
