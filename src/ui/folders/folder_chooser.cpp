#include "ui/folders/folder_chooser.h"

#include "core/app/ui_ports.h"
#include "core/folders/folder_reader.h"
#include "ui/folders/tfolder.h"
#include "core/platform/volumes.h"

#include <QMessageBox>

namespace harpoly::ui {

namespace {

// The chooser's notice: a message box with OK.
class MessageBoxPrompter : public Prompter {
public:
    bool ask(const std::string& question, const std::string& caption, const std::string&) override {
        return QMessageBox::question(nullptr, QString::fromStdString(caption),
                                     QString::fromStdString(question),
                                     QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
    }
    void notice(const std::string& text, const std::string& caption) override {
        QMessageBox::information(nullptr, QString::fromStdString(caption),
                                 QString::fromStdString(text));
    }
};

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
    deps.prompter = std::make_shared<MessageBoxPrompter>();
    openFolderChooserWith(owner, caption, startFolder, outputFolder, std::move(apply),
                          std::move(deps));
}

} // namespace harpoly::ui
