#include "generate/ext_settings.h"

#include "settings/comma_text.h"
#include "settings/ini_file.h"

#include <fstream>
#include <iterator>

namespace harpoly {

std::vector<std::string> readExtList(const std::string& settingsPath, std::string_view key) {
    std::ifstream in(settingsPath, std::ios::binary);
    if (!in) {
        return {};
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return splitCommaText(IniFile(text).readString("Ext", key, ""));
}

} // namespace harpoly
