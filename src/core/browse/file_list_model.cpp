#include "browse/file_list_model.h"

#include "browse/wildcard.h"
#include "platform/code_page.h"
#include "platform/directory_reader.h"

#include <algorithm>
#include <stdexcept>

namespace harpoly {

namespace {

struct SortEntry {
    std::string key; // lower-cased name
    std::string name;
};

bool operator<(const SortEntry& a, const SortEntry& b) {
    const int c = a.key.compare(b.key);
    return c != 0 ? c < 0 : a.name < b.name;
}

std::vector<std::string> sortedNames(std::vector<SortEntry>& entries) {
    std::sort(entries.begin(), entries.end());
    std::vector<std::string> names;
    names.reserve(entries.size());
    for (SortEntry& e : entries) {
        names.push_back(std::move(e.name));
    }
    return names;
}

} // namespace

std::vector<std::string> listMatchingFiles(const std::string& folder,
                                           const std::string& filterText, const CodePage& cp) {
    const SearchPattern search = splitSearchPattern(folder, filterText, cp);
    std::vector<SortEntry> entries;
    DirectoryReader reader(search.folder);
    while (reader.next()) {
        // Cheap tests first: the entry's type, then the name, and only then
        // a stat for links and entries of unknown type.
        if (!reader.mayBeRegularFile()) {
            continue;
        }
        std::string key = cp.lower(reader.name());
        if (!wildcardMatchLowered(search.namePattern, key, cp) || !reader.isRegularFile()) {
            continue;
        }
        entries.push_back({std::move(key), std::string(reader.name())});
    }
    return sortedNames(entries);
}

void sortFileNames(std::vector<std::string>& names, const CodePage& cp) {
    std::vector<SortEntry> entries;
    entries.reserve(names.size());
    for (std::string& n : names) {
        entries.push_back({cp.lower(n), std::move(n)});
    }
    names = sortedNames(entries);
}

FileListModel::FileListModel(const CodePage& cp) : cp_(cp) {}

FileListModel::FileListModel() : FileListModel(systemCodePage()) {}

void FileListModel::checkIndex(int index) const {
    if (index < 0 || index >= count()) {
        throw std::out_of_range("file list index " + std::to_string(index));
    }
}

std::string FileListModel::name(int index) const {
    checkIndex(index);
    return names_[static_cast<std::size_t>(index)];
}

bool FileListModel::isSelected(int index) const {
    checkIndex(index);
    return selected_[static_cast<std::size_t>(index)] != 0;
}

void FileListModel::setSelected(int index, bool selected) {
    checkIndex(index);
    char& flag = selected_[static_cast<std::size_t>(index)];
    if ((flag != 0) != selected) {
        selectedCount_ += selected ? 1 : -1;
        flag = selected ? 1 : 0;
    }
}

void FileListModel::clearSelection() {
    std::fill(selected_.begin(), selected_.end(), 0);
    selectedCount_ = 0;
}

void FileListModel::setCurrent(int index) {
    checkIndex(index);
    current_ = index;
}

void FileListModel::refresh(const std::string& name) {
    names_ = listMatchingFiles(folder_, filter_, cp_);
    selected_.assign(names_.size(), 0);
    selectedCount_ = 0;
    current_ = names_.empty() ? -1 : 0;
    if (!name.empty()) {
        const auto it = std::find(names_.begin(), names_.end(), name);
        if (it != names_.end()) {
            current_ = static_cast<int>(it - names_.begin());
        }
    }
    if (onRefreshed_) {
        onRefreshed_();
    }
}

std::string FileListModel::SelectedName(int index) const {
    if (names_.empty()) {
        return {};
    }
    return name(index == -1 ? current_ : index);
}

} // namespace harpoly
