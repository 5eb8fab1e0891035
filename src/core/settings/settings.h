#pragma once

#include "core/settings/shortcut_code.h"

#include <cstdint>
#include <string>
#include <vector>

namespace harpoly {

// The values of the settings file that the main window loads and saves.
// The member initialisers are the values used when a key is missing.
struct Settings {
    bool Max = false;
    std::int32_t H = 500;
    std::int32_t W = 650;
    std::int32_t T = 50;
    std::int32_t L = 50;
    bool Preview = false;
    bool AutoPlay = false;
    std::int32_t FL_W = 150;
    std::string Work; // output folder
    std::string Dir;  // display folder
    std::vector<std::string> Ext;
    std::vector<std::string> Txt;
    std::vector<std::string> WM;
    std::vector<std::string> Img;
    ShortcutCode K1 = 13; // Enter
    ShortcutCode K2 = 8;  // Backspace
    ShortcutCode K3 = 45; // Insert

    bool operator==(const Settings&) const = default;
};

// The default extension lists, written when no settings file exists.
inline constexpr const char* kSeedSettingsLines[] = {
    "[Ext]",
    "Ext=txt,htm,html,php,bat,ini,asx,smil,css,mpg,mpeg,wmv,asf,avi,jpg,jpeg,bmp,gif,png,rm,ram,"
    "ico",
    "Txt=txt,htm,html,php,bat,ini,asx,smil,css",
    "WM=mpg,mpeg,wmv,asf,avi",
    "Img=jpg,jpeg,bmp,ico",
    "Web=jpg,jpeg,bmp,gif,png",
    "Real=rm,ram",
};

// Creates the file at `path` holding the seed lines, each ending in CR LF.
// Throws harpoly::Error(kind::FCreate) when the file cannot be written.
void SeedSettingsFile(const std::string& path);

// Reads the settings file (a missing file reads as empty). Every key that is
// missing or unreadable takes its value from `defaults`, which the caller
// fills with the folder to use for Work and Dir and the current keys for K1
// to K3. When Max is set, H and W stay those of `defaults`. Never writes
// the file; removes the temporaries that a save broken off by a crash left
// beside it. Throws harpoly::Error(kind::FOpen) when the file exists but cannot be read.
Settings LoadSettings(const std::string& path, const Settings& defaults);

// Reads the file again from disk, sets the keys the program owns and writes
// the whole file back. While maximised only Max=1 is written of the window's
// placement, so the last unmaximised size and place stay in the file. A
// folder that a settings line cannot hold (a line break in it, or blanks at
// its ends) is left as the file has it. The write replaces the file whole;
// on failure the old file stays and harpoly::Error(kind::FCreate) is thrown.
void SaveSettings(const std::string& path, const Settings& settings, bool maximised);

} // namespace harpoly
