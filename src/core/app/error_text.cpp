#include "core/app/error_text.h"

#include <array>
#include <utility>

namespace harpoly {

std::string errorShownName(const std::string& kindName) {
    static const std::array<std::pair<const char*, const char*>, 5> texts{{
        {"EMCIDeviceError", "取り扱えないマルチメディア"},
        {"EJPEG", "不正なJPEG"},
        {"EInvalidGraphic", "不正な画像データ"},
        {"EFCreateError", "不正なファイル名"},
        {"EOutlineError", "ドライブが認識できません"},
    }};
    for (const auto& [kind, text] : texts) {
        if (kindName == kind) {
            return text;
        }
    }
    return kindName;
}

std::string errorInfoLine(const std::string& kindName) {
    return " エラーが発生しました。 ( " + errorShownName(kindName) + " )";
}

} // namespace harpoly
