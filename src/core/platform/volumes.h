#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace harpoly {

// One line of a mount table (/proc/self/mounts), octal escapes decoded.
struct MountEntry {
    std::string source;
    std::string mountPoint;
    std::string type;
};

// Parses a mount table in the /proc/self/mounts format: six blank-separated
// fields per line, with blanks, tabs, newlines and backslashes inside a field
// written as \040, \011, \012 and \134. Lines with fewer than three fields are
// skipped.
std::vector<MountEntry> parseMountTable(std::string_view text);

// Whether a mounted file system stands for a drive: block devices, network
// file systems and FUSE-over-block (fuseblk) count; pseudo file systems
// (proc, sysfs, cgroup, devpts, tmpfs, overlay, squashfs images ...) do not.
bool isDriveFileSystem(const MountEntry& entry);

// The drives of a mount table: "/" first, then the mount points of the drive
// file systems in ascending byte order, each once.
std::vector<std::string> driveMountPoints(const std::vector<MountEntry>& table);

// The volume that holds `path`: the longest mount point of `volumes` that is
// `path` itself or a folder above it. "/" when none is.
std::string volumeOf(std::string_view path, const std::vector<std::string>& volumes);

// `path` made absolute against nothing but itself: empty components, "." and
// ".." are resolved by text alone (no symbolic link is followed). The result
// has no final "/" except for the root "/".
std::string normalizeFolderPath(std::string_view path);

// The folder names of `path` below `volume` ("/mnt/usb/work/out/" below
// "/mnt/usb" gives work, out). Empty when `path` is not inside `volume`.
std::vector<std::string> componentsBelow(std::string_view path, std::string_view volume);

// Whether the folder can be listed. A drive whose mount point cannot be read
// has "no medium".
bool isFolderReadable(const std::string& folder);

// Where the drive list and the readable test come from. The system one reads
// /proc/self/mounts; tests give a list of their own.
class VolumeSource {
public:
    virtual ~VolumeSource() = default;
    virtual std::vector<std::string> volumes() const = 0;
    virtual bool isReadable(const std::string& mountPoint) const {
        return isFolderReadable(mountPoint);
    }
};

class SystemVolumes : public VolumeSource {
public:
    // Drives of /proc/self/mounts; mount points that exist but are not folders
    // (files bind-mounted into a container) are left out.
    std::vector<std::string> volumes() const override;
};

// The current folder of each volume, kept for the life of the process, and
// the folder made current last (the process's current folder).
class VolumeFolders {
public:
    // The remembered folder of `volume`, or the volume's mount point itself.
    std::string currentOf(const std::string& volume) const;
    void setCurrent(const std::string& volume, const std::string& folder);
    // The folder made current last; empty before any.
    const std::string& processFolder() const { return processFolder_; }

private:
    std::map<std::string, std::string> current_;
    std::string processFolder_;
};

} // namespace harpoly
