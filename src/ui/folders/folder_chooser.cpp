#include "ui/folders/folder_chooser.h"

#include "core/app/ui_ports.h"
#include "core/folders/folder_reader.h"
#include "core/platform/volumes.h"
#include "ui/folders/folder_chooser_window.h"
#include "ui/message_box_prompter.h"

namespace harpoly::ui {

namespace {

// The current folder of each volume lives as long as the main window, that is
// for the life of the process, and is shared by every chooser it opens.
class VolumeFoldersHolder : public QObject {
public:
    explicit VolumeFoldersHolder(QObject* parent)
        : QObject(parent), folders(std::make_shared<VolumeFolders>()) {
        setObjectName(QStringLiteral("harpolyVolumeFolders"));
    }
    std::shared_ptr<VolumeFolders> folders;
};

std::shared_ptr<VolumeFolders> volumeFoldersOf(QWidget* owner) {
    if (owner == nullptr) {
        return std::make_shared<VolumeFolders>();
    }
    for (QObject* child : owner->children()) {
        if (auto* holder = dynamic_cast<VolumeFoldersHolder*>(child)) {
            return holder->folders;
        }
    }
    return (new VolumeFoldersHolder(owner))->folders;
}

} // namespace

void openFolderChooser(QWidget* owner, const QString& caption, const std::string& startFolder,
                       ApplyChosenFolderFn apply, const std::string& outputFolder) {
    FolderChooserDeps deps;
    deps.volumes = std::make_shared<SystemVolumes>();
    deps.reader = std::make_shared<SystemFolderReader>();
    deps.folders = volumeFoldersOf(owner);
    // The "no medium" warning: a message box with OK.
    deps.prompter = std::make_shared<MessageBoxPrompter>(nullptr);
    openFolderChooserWith(owner, caption, startFolder, outputFolder, std::move(apply),
                          std::move(deps));
}

} // namespace harpoly::ui
