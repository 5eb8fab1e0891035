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
    s.Max = ini.readBool(kSet, "Max", defaults.Max);
    if (!s.Max) {
        s.H = ini.readInteger(kSet, "H", defaults.H);
        s.W = ini.readInteger(kSet, "W", defaults.W);
    }
    s.T = ini.readInteger(kSet, "T", defaults.T);
    s.L = ini.readInteger(kSet, "L", defaults.L);
    s.Preview = ini.readBool(kSet, "Preview", defaults.Preview);
    s.AutoPlay = ini.readBool(kSet, "AutoPlay", defaults.AutoPlay);
    s.FL_W = ini.readInteger(kSet, "FL_W", defaults.FL_W);
    s.Work = ini.readString(kSet, "Work", defaults.Work);
    s.Dir = ini.readString(kSet, "Dir", defaults.Dir);
    s.Txt = splitCommaText(ini.readString(kExt, "Txt", ""));
    s.WM = splitCommaText(ini.readString(kExt, "WM", ""));
    s.Img = splitCommaText(ini.readString(kExt, "Img", ""));
    s.Ext = splitCommaText(ini.readString(kExt, "Ext", ""));
    s.K1 = readShortcut(ini, "K1", defaults.K1);
    s.K2 = readShortcut(ini, "K2", defaults.K2);
    s.K3 = readShortcut(ini, "K3", defaults.K3);
    return s;
}

void SaveSettings(const std::string& path, const Settings& settings, bool maximised) {
    IniFile ini(readWholeFile(path).value_or(std::string{}));
    if (maximised) {
        ini.writeBool(kSet, "Max", true);
    } else {
        ini.writeInteger(kSet, "H", settings.H);
        ini.writeInteger(kSet, "W", settings.W);
        ini.writeInteger(kSet, "T", settings.T);
        ini.writeInteger(kSet, "L", settings.L);
        ini.writeBool(kSet, "Max", false);
    }
    ini.writeBool(kSet, "Preview", settings.Preview);
    ini.writeBool(kSet, "AutoPlay", settings.AutoPlay);
    ini.writeInteger(kSet, "FL_W", settings.FL_W);
    if (survivesALine(settings.Work)) {
        ini.writeString(kSet, "Work", settings.Work);
    }
    if (survivesALine(settings.Dir)) {
        ini.writeString(kSet, "Dir", settings.Dir);
    }
    ini.writeInteger(kShortCut, "K1", settings.K1);
    ini.writeInteger(kShortCut, "K2", settings.K2);
    ini.writeInteger(kShortCut, "K3", settings.K3);
    writeWholeFile(path, ini.text());
}

} // namespace harpoly
