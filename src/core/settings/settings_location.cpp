#include "core/settings/settings_location.h"

#include "core/platform/folders.h"

#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace harpoly {

namespace {

std::string withSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

// An installed copy sits in P/bin/ beside its desktop entry in
// P/share/applications/. It never writes into its program folder, even when
// the user can (root, or a prefix in the user's home): a settings file there
// would outlive an uninstall.
bool isInstalledCopy(const std::string& programFolder) {
    struct stat st {};
    const std::string entry = programFolder + "../share/applications/" + kDesktopEntryName;
    return ::stat(entry.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace

SettingsLocation locateSettings(const std::string& programFolder, const std::string& xdgConfigHome,
                                const std::string& home) {
    if (!isInstalledCopy(programFolder) && ::access(programFolder.c_str(), W_OK) == 0) {
        return {programFolder + "harpoly.ini", programFolder};
    }
    const std::string homeFolder = withSlash(home.empty() ? "/" : home);
    const std::string base = !xdgConfigHome.empty() && xdgConfigHome.front() == '/'
                                 ? withSlash(xdgConfigHome)
                                 : homeFolder + ".config/";
    const std::string folder = base + "harpoly/";
    // A folder that cannot be made shows up when the seed cannot be written.
    makeFolders(folder);
    return {folder + "harpoly.ini", homeFolder};
}

SettingsLocation locateSettings(const std::string& programFolder) {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    std::string homeText = home ? home : "";
    if (homeText.empty()) {
        if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) {
            homeText = pw->pw_dir;
        }
    }
    return locateSettings(programFolder, xdg ? xdg : "", homeText);
}

} // namespace harpoly
