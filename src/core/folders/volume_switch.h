#pragma once

#include <string>
#include <vector>

namespace harpoly {

class DirectoryOutline;
class VolumeFolders;
class VolumeSource;

// The folder a chooser opens on: `wanted` when it is an existing folder, else
// the folder made current last, else the process's working directory.
std::string openingFolder(const std::string& wanted, const VolumeFolders& folders);

// The folder names of the output folder below the volume that holds it:
// "/mnt/usb/work/out/" on the volume "/mnt/usb" gives work, out.
std::vector<std::string> outputFolderComponents(const std::string& outputFolder,
                                                const std::vector<std::string>& volumes);

// Opens the tree from its root item along `components`, each matched with
// letter case among the sub-folders of the previous one, expanding and
// selecting every folder found; stops at the first name that is missing.
void walkToFolder(DirectoryOutline& outline, const std::vector<std::string>& components);

// Switching the tree to the volume picked in the drive list. When the volume
// can be read: the tree shows it (opened at its current folder), the root item
// is expanded and the walk follows the output folder's components, and the
// result is true. When it cannot be read ("no medium"): false, tree unchanged.
bool switchVolume(DirectoryOutline& outline, const VolumeSource& source,
                  const std::string& mountPoint, const std::string& outputFolder);

} // namespace harpoly
