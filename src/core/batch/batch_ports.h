#pragma once

#include <functional>
#include <string>

namespace harpoly {

class FileListPort;
class Prompter;
class BusyIndicator;
class CodePage;

// move(from, to): moves one file and never replaces an existing one; returns
// success. The program passes moveFileNoReplace; tests and dry runs their own.
using MoveFn = std::function<bool(const std::string& from, const std::string& to)>;

// What every batch operation of the tool strip is handed by the main window.
struct BatchPorts {
    FileListPort& list;
    Prompter& prompter;
    BusyIndicator& busy;
    MoveFn move;
    const CodePage& codePage;
};

// The full path of a list entry: `folder` + `name`, appended directly as the
// file list does, so that it always names the file the list shows.
std::string pathInFolder(const std::string& folder, const std::string& name);

} // namespace harpoly
