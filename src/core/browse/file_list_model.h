#pragma once

#include "core/browse/file_list_port.h"

#include <functional>
#include <string>
#include <vector>

namespace harpoly {

class CodePage;

// The file list: the files of the display folder whose names match the filter
// text, ascending by name ignoring ASCII letter case (ties in byte order, so
// the order is total). A multi-selection and a current item are kept apart:
// moving the current item never changes the selection.
class FileListModel final : public FileListPort {
public:
    explicit FileListModel(const CodePage& cp);
    FileListModel(); // system code page

    // The display folder, ending in "/"; the filter text is appended to it as
    // it is, so a value without the final "/" joins the next name directly.
    void setFolder(std::string folder) { folder_ = std::move(folder); }
    const std::string& folder() const { return folder_; }
    // The wildcard pattern of the filter box; may hold a folder part.
    void setFilter(std::string text) { filter_ = std::move(text); }
    const std::string& filter() const { return filter_; }
    // Run at the end of every refresh (the window previews the current file
    // there unless the filter box has the focus).
    void setOnRefreshed(std::function<void()> callback) { onRefreshed_ = std::move(callback); }

    int count() const override { return static_cast<int>(names_.size()); }
    std::string name(int index) const override;
    const std::vector<std::string>& names() const { return names_; }
    bool isSelected(int index) const override;
    bool anySelected() const override { return selectedCount_ > 0; }
    int currentIndex() const override { return current_; }

    void setSelected(int index, bool selected);
    void clearSelection();
    // Moves the current item; the selection stays as it is.
    void setCurrent(int index);

    // Re-reads the folder, clears the selection, and makes the entry equal to
    // `name` (byte for byte) current, else the first entry (-1 when empty).
    // Then runs the refresh callback. A folder that is missing or cannot be
    // read gives an empty list.
    void refresh(const std::string& name) override;
    void RefreshFileList(const std::string& name) { refresh(name); }

    // The name at `index`, or at the current item when `index` is -1; the
    // empty string when the list is empty.
    std::string SelectedName(int index) const;

private:
    void checkIndex(int index) const;

    const CodePage& cp_;
    std::string folder_;
    std::string filter_ = "*.*";
    std::function<void()> onRefreshed_;
    std::vector<std::string> names_;
    std::vector<char> selected_;
    int selectedCount_ = 0;
    int current_ = -1;
};

// The names of `folder` + `filterText` as the list shows them: regular files
// (and links to them) matching the name pattern, sorted.
std::vector<std::string> listMatchingFiles(const std::string& folder, const std::string& filterText,
                                           const CodePage& cp);

// Sorts ascending by the name lower-cased by `cp`, then by the raw bytes.
void sortFileNames(std::vector<std::string>& names, const CodePage& cp);

} // namespace harpoly
