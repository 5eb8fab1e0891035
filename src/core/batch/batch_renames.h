#pragma once

#include "core/batch/batch_ports.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace harpoly {

// The four operations on the rename walk. Each forms its question, asks it
// under `caption` (the tab's caption), and renames the selected files of
// `folder`. Each returns whether the walk ran (false on Cancel or when
// nothing was selected).

// The start number as the field "先頭番号" reads it (default 1). The window
// writes it back into the field before asking and empties the field after.
std::int32_t numberedRenameStart(std::string_view fieldText);

// "選択ファイルを" + base + start + "等に変更しますか?"; the selected files become
// base + running number + lower-case extension. The number advances for
// every selected file, whether its move succeeded or not.
bool renameNumbered(const BatchPorts& ports, const std::string& folder, const std::string& caption,
                    const std::string& base, std::int32_t start);

// positionIndex 0 ("先頭に") inserts at the start, any other ("末尾に") at the end
// of the base name.
bool renameInsert(const BatchPorts& ports, const std::string& folder, const std::string& caption,
                  int positionIndex, const std::string& text);

bool renameReplace(const BatchPorts& ports, const std::string& folder, const std::string& caption,
                   const std::string& search, const std::string& replacement);

bool changeExtension(const BatchPorts& ports, const std::string& folder, const std::string& caption,
                     const std::string& newExtension);

} // namespace harpoly
