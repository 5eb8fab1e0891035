#pragma once

#include <QString>
#include <functional>
#include <string>

class QWidget;

namespace harpoly::ui {

// Called after the chooser closed with a confirmed folder: the chooser's caption
// and the chosen folder's path without a final "/" ("" for the root "/").
using ApplyChosenFolderFn = std::function<void(const QString& caption, const std::string& path)>;

// OpenFolderChooser: creates a folder chooser `TFolder` owned by `owner`, at the
// owner's top-left corner, with `caption`, opened on `startFolder`; shows it
// without waiting and disables `owner`. The chooser enables `owner` again when
// it closes in any way, frees itself, and calls `apply` when a folder was chosen.
void openFolderChooser(QWidget* owner, const QString& caption, const std::string& startFolder,
                       ApplyChosenFolderFn apply);

} // namespace harpoly::ui
