#include "core/app/error_text.h"

#include <gtest/gtest.h>

namespace harpoly {

TEST(ErrorText, KnownKindsHaveTheirTextOthersTheirName) {
    const std::pair<const char*, const char*> cases[] = {
        {"EMCIDeviceError", " エラーが発生しました。 ( 取り扱えないマルチメディア )"},
        {"EJPEG", " エラーが発生しました。 ( 不正なJPEG )"},
        {"EInvalidGraphic", " エラーが発生しました。 ( 不正な画像データ )"},
        {"EFCreateError", " エラーが発生しました。 ( 不正なファイル名 )"},
        {"EOutlineError", " エラーが発生しました。 ( ドライブが認識できません )"},
        {"EFOpenError", " エラーが発生しました。 ( EFOpenError )"},
        {"ejpeg", " エラーが発生しました。 ( ejpeg )"}, // matched with letter case
    };
    for (const auto& [kind, line] : cases) {
        EXPECT_EQ(errorInfoLine(kind), line) << kind;
    }
}

} // namespace harpoly
