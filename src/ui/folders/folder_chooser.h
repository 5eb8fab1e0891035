#pragma once

#include <QString>
#include <functional>
#include <string>

class QWidget;

namespace harpoly::ui {

// Called after the chooser closed with a confirmed folder: the chooser's caption
// and the chosen folder's path without a final "/" ("" for the root "/").
using ApplyChosenFolderFn = std::function<void(const QString& caption, const std::string& path)>;

// Creates a folder chooser `TFolder` owned by `owner`, at the
// owner's top-left corner, with `caption`, opened on `startFolder`; shows it
// without waiting and disables `owner`. The chooser enables `owner` again when
// it closes in any way, frees itself, and calls `apply` when a folder was chosen.
// `outputFolder` is the output folder of the main window's state: switching the
// drive opens the tree along its folders, whichever folder is being chosen.
// A start folder whose volume cannot be read raises EOutlineError (nothing is
// shown and `owner` stays enabled).
void openFolderChooser(QWidget* owner, const QString& caption, const std::string& startFolder,
                       ApplyChosenFolderFn apply, const std::string& outputFolder = {});

} // namespace harpoly::ui
