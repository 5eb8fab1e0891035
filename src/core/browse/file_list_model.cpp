#include "core/browse/file_list_model.h"

#include "core/browse/wildcard.h"
#include "core/platform/code_page.h"
#include "core/platform/directory_reader.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>

namespace harpoly {

namespace {

// Names with their sort keys (the name lower-cased by the code page), kept in
// one block of memory so that sorting moves small records, not strings.
class NameSorter {
public:
    explicit NameSorter(const CodePage& cp) : cp_(cp) {}

    // Lower-cases `name` into the key block; the key stays there until
    // add() or drop() decides about it.
    std::string_view lowered(std::string_view name) {
        keyStart_ = keys_.size();
        // Bytes below 0x80 before the first byte above are one-byte
        // characters in every code page we know: lower them directly.
        std::size_t i = 0;
        for (; i < name.size() && static_cast<unsigned char>(name[i]) < 0x80; ++i) {
            const char c = name[i];
            keys_ += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        }
        if (i < name.size()) {
            keys_ += cp_.lower(name.substr(i));
        }
        return std::string_view(keys_).substr(keyStart_);
    }
    void add(std::string name) {
        items_.push_back({prefixOf(keyStart_), static_cast<std::uint32_t>(names_.size())});
        keyOffsets_.push_back(keyStart_);
        keyOffsets_.push_back(keys_.size());
        names_.push_back(std::move(name));
    }
    void drop() { keys_.resize(keyStart_); }

    std::vector<std::string> sorted() {
        std::sort(items_.begin(), items_.end(), [this](const Item& a, const Item& b) {
            if (a.prefix != b.prefix) {
                return a.prefix < b.prefix;
            }
            const int c = key(a.index).compare(key(b.index));
            return c != 0 ? c < 0 : names_[a.index] < names_[b.index];
        });
        std::vector<std::string> out;
        out.reserve(items_.size());
        for (const Item& item : items_) {
            out.push_back(std::move(names_[item.index]));
        }
        return out;
    }

private:
    struct Item {
        std::uint64_t prefix; // the key's first eight bytes, big-endian
        std::uint32_t index;
    };

    std::uint64_t prefixOf(std::size_t offset) const {
        std::uint64_t p = 0;
        for (std::size_t i = 0; i < 8; ++i) {
            // File names hold no NUL byte, so padding with 0 keeps the order.
            const std::size_t at = offset + i;
            p = (p << 8) | (at < keys_.size() ? static_cast<unsigned char>(keys_[at]) : 0u);
        }
        return p;
    }
    std::string_view key(std::uint32_t index) const {
        const std::size_t b = keyOffsets_[2 * index];
        return std::string_view(keys_).substr(b, keyOffsets_[2 * index + 1] - b);
    }

    const CodePage& cp_;
    std::string keys_;
    std::size_t keyStart_ = 0;
    std::vector<std::size_t> keyOffsets_; // begin and end of each key
    std::vector<Item> items_;
    std::vector<std::string> names_;
};

} // namespace

std::vector<std::string> listMatchingFiles(const std::string& folder, const std::string& filterText,
                                           const CodePage& cp) {
    const SearchPattern search = splitSearchPattern(folder, filterText, cp);
    NameSorter sorter(cp);
    DirectoryReader reader(search.folder);
    while (reader.next()) {
        // Cheap tests first: the entry's type, then the name, and only then
        // a stat for links and entries of unknown type.
        if (!reader.mayBeRegularFile()) {
            continue;
        }
        if (wildcardMatchLowered(search.namePattern, sorter.lowered(reader.name()), cp) &&
            reader.isRegularFile()) {
            sorter.add(std::string(reader.name()));
        } else {
            sorter.drop();
        }
    }
    return sorter.sorted();
}

void sortFileNames(std::vector<std::string>& names, const CodePage& cp) {
    NameSorter sorter(cp);
    for (std::string& n : names) {
        sorter.lowered(n);
        sorter.add(std::move(n));
    }
    names = sorter.sorted();
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
