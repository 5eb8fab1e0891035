#pragma once

#include "core/settings/shortcut_code.h"

#include <cstdint>
#include <string>
#include <vector>

namespace harpoly {

// The values of the settings file that the main window loads and saves, each
// with its key in the file. The member initialisers are the values used when
// a key is missing.
struct Settings {
    bool maximised = false;       // [Set] Max
    std::int32_t height = 500;    // [Set] H
    std::int32_t width = 650;     // [Set] W
    std::int32_t top = 50;        // [Set] T
    std::int32_t left = 50;       // [Set] L
    bool previewOff = false;      // [Set] Preview: the check box `PV`, previews not wanted
    bool autoPlay = false;        // [Set] AutoPlay: the check box `pM`
    std::int32_t listWidth = 150; // [Set] FL_W: the width of the file list `FL`
    std::string outputFolder;     // [Set] Work
    std::string displayFolder;    // [Set] Dir
    std::vector<std::string> filterExtensions; // [Ext] Ext: the entries of the filter box
    std::vector<std::string> textExtensions;   // [Ext] Txt
    std::vector<std::string> mediaExtensions;  // [Ext] WM
    std::vector<std::string> imageExtensions;  // [Ext] Img
    ShortcutCode nextKey = 13;                 // [ShortCut] K1: Enter
    ShortcutCode previousKey = 8;              // [ShortCut] K2: Backspace
    ShortcutCode pictureModeKey = 45;          // [ShortCut] K3: Insert

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
// fills with the folder to use for the two folders and the current keys.
// When maximised, the height and width stay those of `defaults`. Never writes
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
