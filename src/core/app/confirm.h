#pragma once

#include <string>

namespace harpoly {

class Prompter;
class FileListPort;

// Asks `question` under `caption`. When a selection is required and nothing in
// the list is selected, shows "ファイルが選択されていません。" under "処理中止"
// and returns false without asking.
bool ConfirmAction(Prompter& prompter, const FileListPort& list, const std::string& question,
                   const std::string& caption, bool requireSelection,
                   const std::string& detail = {});

} // namespace harpoly
