#include "core/batch/rename_walk.h"

#include "core/app/confirm.h"
#include "core/app/ui_ports.h"
#include "core/browse/file_list_port.h"
#include "core/platform/shown_name.h"

#include <vector>

namespace harpoly {

namespace {

struct PlannedMove {
    int index;
    std::string oldName;
    std::string newName;
};

// A rename stays inside its folder: a new name that is empty, "." or "..", or
// that holds a "/" (which would move the file elsewhere) or a NUL byte, is
// treated as a move that failed.
bool staysInFolder(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

} // namespace

bool runRenameWalk(const BatchPorts& ports, const std::string& folder, const std::string& question,
                   const std::string& caption, const NewNameRule& rule) {
    FileListPort& list = ports.list;

    // The list does not change during the walk, so the new names can be
    // formed up front and shown with the question.
    std::vector<PlannedMove> plan;
    std::string detail;
    std::int64_t ordinal = 0;
    for (int i = 0; i < list.count(); ++i) {
        if (list.isSelected(i)) {
            std::string oldName = list.name(i);
            std::string newName = rule(oldName, ordinal++);
            detail += shownName(oldName) + " -> " + shownName(newName) + "\n";
            plan.push_back({i, std::move(oldName), std::move(newName)});
        }
    }

    if (!ConfirmAction(ports.prompter, list, question, caption, true, detail)) {
        return false;
    }

    std::string reselect;
    const int current = list.currentIndex();
    ports.busy.begin(list.count());
    auto next = plan.begin();
    for (int i = 0; i < list.count(); ++i) {
        if (next != plan.end() && next->index == i) {
            const bool ok =
                staysInFolder(next->newName) && ports.move(pathInFolder(folder, next->oldName),
                                                           pathInFolder(folder, next->newName));
            if (i == current) {
                reselect = ok ? next->newName : next->oldName;
            }
            ++next;
        }
        ports.busy.step();
    }
    ports.busy.end();
    list.refresh(reselect);
    return true;
}

} // namespace harpoly
