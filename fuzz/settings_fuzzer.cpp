// The settings file and comma text: parse, read every key the program reads,
// write the keys it writes, and split the comma text of the lists.
#include "core/settings/comma_text.h"
#include "core/settings/ini_file.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    harpoly::IniFile ini(text);
    for (const char* key : {"Max", "H", "W", "T", "L", "Preview", "FL_W"}) {
        (void)ini.readInteger("Set", key, 7);
        (void)ini.readBool("Set", key, false);
    }
    for (const char* key : {"Ext", "Txt", "WM", "Img", "Web", "Real"}) {
        const auto items = harpoly::splitCommaText(ini.readString("Ext", key, ""));
        (void)harpoly::joinCommaText(items);
    }
    ini.writeInteger("Set", "H", -5);
    ini.writeString("Set", "Dir", "/x/");
    ini.writeInteger("ShortCut", "K1", 8205);
    (void)ini.text();
    (void)harpoly::splitCommaText(text);
    return 0;
}
