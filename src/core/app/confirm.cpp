#include "core/app/confirm.h"

#include "core/app/ui_ports.h"
#include "core/browse/file_list_port.h"

namespace harpoly {

bool ConfirmAction(Prompter& prompter, const FileListPort& list, const std::string& question,
                   const std::string& caption, bool requireSelection, const std::string& detail) {
    if (requireSelection && !list.anySelected()) {
        prompter.notice("ファイルが選択されていません。", "処理中止");
        return false;
    }
    return prompter.ask(question, caption, detail);
}

} // namespace harpoly
