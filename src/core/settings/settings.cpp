#include "core/settings/settings.h"

#include "core/platform/whole_file.h"
#include "core/settings/comma_text.h"
#include "core/settings/ini_file.h"

namespace harpoly {

namespace {

constexpr const char* kSet = "Set";
constexpr const char* kExt = "Ext";
constexpr const char* kShortCut = "ShortCut";

ShortcutCode readShortcut(const IniFile& ini, const char* key, ShortcutCode fallback) {
    return shortcutFromInteger(ini.readInteger(kShortCut, key, fallback));
}

// Whether `value` comes back unchanged from a settings line.
bool survivesALine(const std::string& value) {
    if (value.find_first_of("\r\n") != std::string::npos) {
        return false;
    }
    const auto blankOrControl = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
    return value.empty() || (!blankOrControl(value.front()) && !blankOrControl(value.back()));
}

} // namespace

void SeedSettingsFile(const std::string& path) {
    std::string text;
    for (const char* line : kSeedSettingsLines) {
        text += line;
        text += "\r\n";
    }
    writeWholeFile(path, text);
}

Settings LoadSettings(const std::string& path, const Settings& defaults) {
    // A save that a crash broke off leaves its temporary behind; the next
    // start takes it away.
    removeStaleTemporaries(path);
    const IniFile ini(readWholeFile(path).value_or(std::string{}));
    Settings s = defaults;
    s.maximised = ini.readBool(kSet, "Max", defaults.maximised);
    if (!s.maximised) {
        s.height = ini.readInteger(kSet, "H", defaults.height);
        s.width = ini.readInteger(kSet, "W", defaults.width);
    }
    s.top = ini.readInteger(kSet, "T", defaults.top);
    s.left = ini.readInteger(kSet, "L", defaults.left);
    s.previewOff = ini.readBool(kSet, "Preview", defaults.previewOff);
    s.autoPlay = ini.readBool(kSet, "AutoPlay", defaults.autoPlay);
    s.listWidth = ini.readInteger(kSet, "FL_W", defaults.listWidth);
    s.outputFolder = ini.readString(kSet, "Work", defaults.outputFolder);
    s.displayFolder = ini.readString(kSet, "Dir", defaults.displayFolder);
    s.textExtensions = splitCommaText(ini.readString(kExt, "Txt", ""));
    s.mediaExtensions = splitCommaText(ini.readString(kExt, "WM", ""));
    s.imageExtensions = splitCommaText(ini.readString(kExt, "Img", ""));
    s.filterExtensions = splitCommaText(ini.readString(kExt, "Ext", ""));
    s.nextKey = readShortcut(ini, "K1", defaults.nextKey);
    s.previousKey = readShortcut(ini, "K2", defaults.previousKey);
    s.pictureModeKey = readShortcut(ini, "K3", defaults.pictureModeKey);
    return s;
}

void SaveSettings(const std::string& path, const Settings& settings, bool maximised) {
    IniFile ini(readWholeFile(path).value_or(std::string{}));
    if (maximised) {
        ini.writeBool(kSet, "Max", true);
    } else {
        ini.writeInteger(kSet, "H", settings.height);
        ini.writeInteger(kSet, "W", settings.width);
        ini.writeInteger(kSet, "T", settings.top);
        ini.writeInteger(kSet, "L", settings.left);
        ini.writeBool(kSet, "Max", false);
    }
    ini.writeBool(kSet, "Preview", settings.previewOff);
    ini.writeBool(kSet, "AutoPlay", settings.autoPlay);
    ini.writeInteger(kSet, "FL_W", settings.listWidth);
    if (survivesALine(settings.outputFolder)) {
        ini.writeString(kSet, "Work", settings.outputFolder);
    }
    if (survivesALine(settings.displayFolder)) {
        ini.writeString(kSet, "Dir", settings.displayFolder);
    }
    ini.writeInteger(kShortCut, "K1", settings.nextKey);
    ini.writeInteger(kShortCut, "K2", settings.previousKey);
    ini.writeInteger(kShortCut, "K3", settings.pictureModeKey);
    writeWholeFile(path, ini.text());
}

} // namespace harpoly
