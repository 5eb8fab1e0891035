#include "generate/ext_settings.h"

#include "errors.h"
#include "platform/whole_file.h"
#include "settings/comma_text.h"
#include "settings/ini_file.h"

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
