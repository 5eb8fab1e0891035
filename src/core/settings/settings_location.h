#pragma once

#include <string>

namespace harpoly {

struct SettingsLocation {
    std::string file;          // full path of harpoly.ini
    std::string defaultFolder; // default and fallback display and output folder, ends in "/"
};

// The file name of the desktop entry that an install puts in
// P/share/applications/ beside the program in P/bin/.
inline constexpr const char* kDesktopEntryName = "org.harpoly.Harpoly.desktop";

// Where the settings file lives. A writable program folder keeps it beside
// the executable (a portable copy), and the program folder is the default
// folder. An installed copy (our desktop entry in
// `programFolder`../share/applications/) or a read-only program folder keeps
// it in `xdgConfigHome`/harpoly/ (when that is an absolute path, else
// `home`/.config/harpoly/), which is created if needed, and the home folder
// is the default folder. `programFolder` ends in "/".
SettingsLocation locateSettings(const std::string& programFolder, const std::string& xdgConfigHome,
                                const std::string& home);

// The same with XDG_CONFIG_HOME and HOME (or the password entry) of this process.
SettingsLocation locateSettings(const std::string& programFolder);

} // namespace harpoly
