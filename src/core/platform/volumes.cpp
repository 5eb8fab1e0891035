#include "core/platform/volumes.h"

#include <algorithm>
#include <array>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace harpoly {

namespace {

bool isOctal(char c) {
    return c >= '0' && c <= '7';
}

std::string unescapeField(std::string_view field) {
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && isOctal(field[i + 1]) &&
            isOctal(field[i + 2]) && isOctal(field[i + 3])) {
            out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                     (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

std::vector<std::string_view> splitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) {
            ++i;
        }
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') {
            ++i;
        }
        if (i > start) {
            fields.push_back(line.substr(start, i - start));
        }
    }
    return fields;
}

// File systems that may sit on a block device but are not drives a user picks:
// package images (snap) and kernel views.
constexpr std::array pseudoTypes = {
    "proc",     "sysfs",      "cgroup",   "cgroup2",    "devpts",    "devtmpfs", "tmpfs",
    "ramfs",    "overlay",    "squashfs", "securityfs", "pstore",    "bpf",      "debugfs",
    "tracefs",  "configfs",   "fusectl",  "mqueue",     "hugetlbfs", "autofs",   "binfmt_misc",
    "efivarfs", "rpc_pipefs", "nsfs",     "selinuxfs",  "nfsd",
};

constexpr std::array networkTypes = {
    "nfs",  "nfs4", "cifs",  "smb3",      "smbfs",      "ncpfs",       "afs",
    "ceph", "9p",   "davfs", "glusterfs", "fuse.sshfs", "fuse.rclone", "fuseblk",
};

template <std::size_t N>
bool contains(const std::array<const char*, N>& names, const std::string& name) {
    return std::any_of(names.begin(), names.end(), [&](const char* n) { return name == n; });
}

} // namespace

std::vector<MountEntry> parseMountTable(std::string_view text) {
    std::vector<MountEntry> table;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const auto fields = splitFields(text.substr(pos, end - pos));
        if (fields.size() >= 3) {
            table.push_back(
                {unescapeField(fields[0]), unescapeField(fields[1]), unescapeField(fields[2])});
        }
        pos = end + 1;
    }
    return table;
}

bool isDriveFileSystem(const MountEntry& entry) {
    if (contains(pseudoTypes, entry.type)) {
        return false;
    }
    if (entry.source.rfind("/dev/", 0) == 0) {
        return true;
    }
    return contains(networkTypes, entry.type);
}

std::vector<std::string> driveMountPoints(const std::vector<MountEntry>& table) {
    std::vector<std::string> others;
    for (const auto& entry : table) {
        if (entry.mountPoint.empty() || entry.mountPoint.front() != '/') {
            continue;
        }
        const std::string mp = normalizeFolderPath(entry.mountPoint);
        if (mp != "/" && isDriveFileSystem(entry)) {
            others.push_back(mp);
        }
    }
    std::sort(others.begin(), others.end());
    others.erase(std::unique(others.begin(), others.end()), others.end());
    std::vector<std::string> list{"/"};
    list.insert(list.end(), others.begin(), others.end());
    return list;
}

std::string normalizeFolderPath(std::string_view path) {
    std::vector<std::string_view> parts;
    std::size_t i = 0;
    while (i < path.size()) {
        std::size_t end = path.find('/', i);
        if (end == std::string_view::npos) {
            end = path.size();
        }
        const std::string_view part = path.substr(i, end - i);
        if (part == "..") {
            if (!parts.empty()) {
                parts.pop_back();
            }
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        i = end + 1;
    }
    std::string out;
    for (const auto part : parts) {
        out += '/';
        out += part;
    }
    return out.empty() ? std::string("/") : out;
}

std::vector<std::string> componentsBelow(std::string_view path, std::string_view volume) {
    const std::string p = normalizeFolderPath(path);
    const std::string v = normalizeFolderPath(volume);
    std::vector<std::string> parts;
    std::size_t start;
    if (v == "/") {
        start = 1;
    } else if (p == v) {
        return parts;
    } else if (p.size() > v.size() && p.compare(0, v.size(), v) == 0 && p[v.size()] == '/') {
        start = v.size() + 1;
    } else {
        return parts;
    }
    while (start < p.size()) {
        std::size_t end = p.find('/', start);
        if (end == std::string::npos) {
            end = p.size();
        }
        parts.emplace_back(p.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

namespace {
bool isInside(const std::string& path, const std::string& folder) {
    return folder == "/" || path == folder ||
           (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
            path[folder.size()] == '/');
}
} // namespace

std::string volumeOf(std::string_view path, const std::vector<std::string>& volumes) {
    const std::string p = normalizeFolderPath(path);
    std::string best = "/";
    for (const auto& volume : volumes) {
        const std::string v = normalizeFolderPath(volume);
        if (v.size() > best.size() && isInside(p, v)) {
            best = v;
        }
    }
    return best;
}

bool isFolderReadable(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return false;
    }
    ::closedir(dir);
    return true;
}

std::vector<std::string> SystemVolumes::volumes() const {
    std::ifstream in("/proc/self/mounts", std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    std::vector<std::string> list = driveMountPoints(parseMountTable(text.str()));
    std::erase_if(list, [](const std::string& mp) {
        struct stat st {};
        return ::stat(mp.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
    });
    return list;
}

std::string VolumeFolders::currentOf(const std::string& volume) const {
    const auto it = current_.find(volume);
    return it == current_.end() ? volume : it->second;
}

void VolumeFolders::setCurrent(const std::string& volume, const std::string& folder) {
    current_[volume] = folder;
    processFolder_ = folder;
}

} // namespace harpoly
