#include "core/generate/ext_settings.h"

#include "core/errors.h"
#include "core/platform/whole_file.h"
#include "core/settings/comma_text.h"
#include "core/settings/ini_file.h"

namespace harpoly {

std::vector<std::string> readExtList(const std::string& settingsPath, std::string_view key) {
    std::string text;
    try {
        text = readWholeFile(settingsPath).value_or(std::string{});
    } catch (const Error&) {
        return {}; // a file that cannot be read holds no list either
    }
    return splitCommaText(IniFile(text).readString("Ext", key, ""));
}

} // namespace harpoly
