// Placeholder until the folder chooser window lands: opens nothing.
#include "folders/folder_chooser.h"

namespace harpoly::ui {

void openFolderChooser(QWidget*, const QString&, const std::string&, ApplyChosenFolderFn) {}

} // namespace harpoly::ui
