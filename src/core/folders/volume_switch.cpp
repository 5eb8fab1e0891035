#include "core/folders/volume_switch.h"

#include "core/errors.h"
#include "core/folders/directory_outline.h"
#include "core/platform/volumes.h"

#include <sys/stat.h>
#include <unistd.h>

namespace harpoly {

std::string openingFolder(const std::string& wanted, const VolumeFolders& folders) {
    struct stat st {};
    if (!wanted.empty() && ::stat(wanted.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        return wanted;
    }
    if (!folders.processFolder().empty()) {
        return folders.processFolder();
    }
    std::string cwd(4096, '\0');
    if (::getcwd(cwd.data(), cwd.size()) == nullptr) {
        return "/";
    }
    cwd.resize(cwd.find('\0'));
    return cwd;
}

std::vector<std::string> outputFolderComponents(const std::string& outputFolder,
                                                const std::vector<std::string>& volumes) {
    if (outputFolder.empty()) {
        return {};
    }
    return componentsBelow(outputFolder, volumeOf(outputFolder, volumes));
}

void walkToFolder(DirectoryOutline& outline, const std::vector<std::string>& components) {
    outline.expand(1);
    const OutlineItem* at = &outline.root();
    for (const auto& name : components) {
        const OutlineItem* found = nullptr;
        for (const auto& child : at->children) {
            if (child->text == name) {
                found = child.get();
                break;
            }
        }
        if (found == nullptr) {
            return;
        }
        outline.expand(found->number);
        outline.setSelected(found->number);
        at = found;
    }
}

bool switchVolume(DirectoryOutline& outline, const VolumeSource& source,
                  const std::string& mountPoint, const std::string& outputFolder) {
    if (!source.isReadable(mountPoint)) {
        return false;
    }
    try {
        outline.setVolume(mountPoint);
    } catch (const Error& e) {
        if (e.kind() != kind::Outline) {
            throw;
        }
        return false; // became unreadable between the test and the read
    }
    walkToFolder(outline, outputFolderComponents(outputFolder, outline.volumes()));
    return true;
}

} // namespace harpoly
