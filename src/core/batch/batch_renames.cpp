#include "core/batch/batch_renames.h"

#include "core/app/number_field.h"
#include "core/batch/rename_rules.h"
#include "core/batch/rename_walk.h"
#include "core/platform/shown_name.h"

namespace harpoly {

std::int32_t numberedRenameStart(std::string_view fieldText) {
    return readNumberField(fieldText, 1);
}

bool renameNumbered(const BatchPorts& ports, const std::string& folder, const std::string& caption,
                    const std::string& base, std::int32_t start) {
    const std::string question =
        "選択ファイルを" + shownName(base) + std::to_string(start) + "等に変更しますか?";
    // Counted in 64 bits so that a start near the top of the 32-bit range
    // goes on upwards instead of wrapping to a negative number.
    const CodePage& cp = ports.codePage;
    return runRenameWalk(ports, folder, question, caption,
                         [&](const std::string& oldName, std::int64_t ordinal) {
                             return numberedName(base, std::int64_t{start} + ordinal, oldName, cp);
                         });
}

bool renameInsert(const BatchPorts& ports, const std::string& folder, const std::string& caption,
                  int positionIndex, const std::string& text) {
    const bool atStart = positionIndex == 0;
    const std::string question = std::string("ファイル名の") + (atStart ? "先頭に" : "末尾に") +
                                 shownName(text) + "を挿入しますか?";
    const CodePage& cp = ports.codePage;
    return runRenameWalk(ports, folder, question, caption,
                         [&](const std::string& oldName, std::int64_t) {
                             return insertedName(oldName, text, atStart, cp);
                         });
}

bool renameReplace(const BatchPorts& ports, const std::string& folder, const std::string& caption,
                   const std::string& search, const std::string& replacement) {
    const CodePage& cp = ports.codePage;
    return runRenameWalk(ports, folder, "選択ファイル名内の指定文字列を置換しますか?", caption,
                         [&](const std::string& oldName, std::int64_t) {
                             return replacedName(oldName, search, replacement, cp);
                         });
}

bool changeExtension(const BatchPorts& ports, const std::string& folder, const std::string& caption,
                     const std::string& newExtension) {
    const std::string question =
        "選択ファイルの拡張子を" + shownName(newExtension) + "に変更しますか?";
    return runRenameWalk(ports, folder, question, caption,
                         [&](const std::string& oldName, std::int64_t) {
                             return extensionChangedName(oldName, newExtension);
                         });
}

} // namespace harpoly
