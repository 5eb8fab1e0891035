#include "core/folders/directory_outline.h"

#include "core/errors.h"
#include "core/folders/folder_reader.h"
#include "core/platform/code_page.h"
#include "core/platform/volumes.h"

#include <algorithm>
#include <numeric>

namespace harpoly {

namespace {

// The tree's order: ascending by name with letter case ignored; names that
// differ only in case keep a fixed order by their bytes.
std::vector<std::string> sortedFolderNames(std::vector<std::string> names) {
    std::erase_if(names, [](const std::string& n) { return n.empty() || n.front() == '.'; });
    const CodePage& cp = systemCodePage();
    std::vector<std::string> keys;
    keys.reserve(names.size());
    for (const auto& name : names) {
        keys.push_back(cp.lower(name));
    }
    std::vector<std::size_t> index(names.size());
    std::iota(index.begin(), index.end(), 0);
    std::sort(index.begin(), index.end(), [&](std::size_t a, std::size_t b) {
        const int c = keys[a].compare(keys[b]);
        return c != 0 ? c < 0 : names[a] < names[b];
    });
    std::vector<std::string> sorted;
    sorted.reserve(names.size());
    for (const std::size_t i : index) {
        sorted.push_back(std::move(names[i]));
    }
    return sorted;
}

OutlineItem* findChild(const OutlineItem& parent, const std::string& name) {
    for (const auto& child : parent.children) {
        if (child->text == name) {
            return child.get();
        }
    }
    const CodePage& cp = systemCodePage();
    const std::string wanted = cp.lower(name);
    for (const auto& child : parent.children) {
        if (cp.lower(child->text) == wanted) {
            return child.get();
        }
    }
    return nullptr;
}

bool isInside(const OutlineItem& item, const OutlineItem& ancestor) {
    for (const OutlineItem* p = item.parent; p != nullptr; p = p->parent) {
        if (p == &ancestor) {
            return true;
        }
    }
    return false;
}

} // namespace

DirectoryOutline::DirectoryOutline(const FolderReader& reader, VolumeFolders& folders,
                                   std::vector<std::string> volumes, const std::string& folder)
    : reader_(reader), folders_(folders), volumes_(std::move(volumes)) {
    const std::string volume = volumeOf(folder, volumes_);
    std::vector<std::string> names;
    if (!reader_.subFolders(volume, names)) {
        raise(kind::Outline, "cannot read " + volume);
    }
    build(volume, folder, std::move(names));
}

DirectoryOutline::~DirectoryOutline() = default;

void DirectoryOutline::setVolume(const std::string& mountPoint) {
    const std::string volume = normalizeFolderPath(mountPoint);
    if (volume == volume_) {
        return;
    }
    std::vector<std::string> names;
    if (!reader_.subFolders(volume, names)) {
        raise(kind::Outline, "cannot read " + volume);
    }
    if (observer_ != nullptr) {
        observer_->beginReset();
    }
    build(volume, folders_.currentOf(volume), std::move(names));
    if (observer_ != nullptr) {
        observer_->endReset();
    }
}

void DirectoryOutline::build(const std::string& volume, const std::string& folder,
                             std::vector<std::string> rootNames) {
    // A view follows a rebuild as one reset, not as single insertions.
    OutlineObserver* const observer = observer_;
    observer_ = nullptr;
    volume_ = volume;
    root_ = std::make_unique<OutlineItem>();
    root_->text = volume;
    root_->number = 1;
    order_.assign(1, root_.get());
    attach(*root_, std::move(rootNames));
    root_->expanded = true;
    OutlineItem* at = root_.get();
    for (const auto& name : componentsBelow(folder, volume)) {
        OutlineItem* next = findChild(*at, name);
        if (next == nullptr) {
            break;
        }
        at = next;
        expand(at->number);
    }
    select(*at);
    observer_ = observer;
}

void DirectoryOutline::attach(OutlineItem& item, std::vector<std::string> names) {
    names = sortedFolderNames(std::move(names));
    item.read = true;
    if (names.empty()) {
        return;
    }
    if (observer_ != nullptr) {
        observer_->beginInsert(item, static_cast<int>(names.size()));
    }
    std::vector<OutlineItem*> added;
    added.reserve(names.size());
    item.children.reserve(names.size());
    for (auto& name : names) {
        auto child = std::make_unique<OutlineItem>();
        child->text = std::move(name);
        child->parent = &item;
        child->row = static_cast<int>(item.children.size());
        added.push_back(child.get());
        item.children.push_back(std::move(child));
    }
    // Sub-items are only ever read once, so they go right after the item.
    const std::size_t pos = static_cast<std::size_t>(item.number);
    order_.insert(order_.begin() + static_cast<std::ptrdiff_t>(pos), added.begin(), added.end());
    for (std::size_t i = pos; i < order_.size(); ++i) {
        order_[i]->number = static_cast<int>(i + 1);
    }
    if (observer_ != nullptr) {
        observer_->endInsert();
    }
}

void DirectoryOutline::read(OutlineItem& item) {
    if (item.read) {
        return;
    }
    std::vector<std::string> names;
    if (!reader_.subFolders(fullPath(item), names)) {
        names.clear(); // unreadable or gone: no sub-folders, nothing reported
    }
    attach(item, std::move(names));
}

OutlineItem& DirectoryOutline::at(int number) const {
    if (number < 1 || number > count()) {
        raise(kind::Outline, "item " + std::to_string(number) + " out of range");
    }
    return *order_[static_cast<std::size_t>(number - 1)];
}

const OutlineItem& DirectoryOutline::item(int number) const {
    return at(number);
}

std::string DirectoryOutline::fullPath(int number) const {
    return fullPath(at(number));
}

std::string DirectoryOutline::fullPath(const OutlineItem& item) const {
    std::vector<const std::string*> names;
    for (const OutlineItem* p = &item; p->parent != nullptr; p = p->parent) {
        names.push_back(&p->text);
    }
    std::string path = volume_;
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        if (path.back() != '/') {
            path += '/';
        }
        path += **it;
    }
    return path;
}

void DirectoryOutline::expand(int number) {
    OutlineItem& item = at(number);
    read(item);
    item.expanded = true;
}

void DirectoryOutline::readSubFolders(int number) {
    read(at(number));
}

void DirectoryOutline::collapse(int number) {
    OutlineItem& item = at(number);
    item.expanded = false;
    if (isInside(*selected_, item)) {
        select(item);
    }
}

void DirectoryOutline::setSelected(int number) {
    OutlineItem* target = &at(number);
    // The outermost collapsed item above it is the one that shows.
    for (OutlineItem* p = target->parent; p != nullptr; p = p->parent) {
        if (!p->expanded) {
            target = p;
        }
    }
    select(*target);
}

void DirectoryOutline::select(OutlineItem& item) {
    selected_ = &item;
    folders_.setCurrent(volume_, fullPath(item));
}

} // namespace harpoly
