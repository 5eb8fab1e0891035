#pragma once

#include <functional>
#include <string>

namespace harpoly {

class FileListPort;
class Prompter;

// What the link tab's button works with.
struct ListFileRequest {
    std::string typedName;     // the file-name field as typed; "index" when empty
    int kindIndex = 0;         // the format drop-down's index
    std::string kindText;      // its shown text, for the question
    std::string caption;       // the tab's caption
    std::string displayFolder; // ends with "/"
    std::string settingsPath;  // harpoly.ini, read afresh for the [Ext] list
};

enum class ListFileResult { Written, NothingListed, Cancelled };

// The file name written for a request: the typed name (or "index") with the
// kind's extension always appended.
std::string listFileName(const std::string& typedName, int kindIndex);

// Writes the link page, album page or playlist of every entry of `list` into
// the display folder after the question (and the overwrite question when the
// file is there), then re-reads the list keeping its current item. When
// nothing is written, runs `preview` instead. A file that cannot be created
// throws Error(kind::FCreate).
ListFileResult makeListFile(const ListFileRequest& request, FileListPort& list, Prompter& prompter,
                            const std::function<void()>& preview);

} // namespace harpoly
