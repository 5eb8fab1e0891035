#pragma once

#include <memory>
#include <string>
#include <vector>

namespace harpoly {

class FolderReader;
class VolumeFolders;

// One folder of the tree. The root item stands for the volume and shows its
// mount point; every other item shows its folder's name as the file system
// gives it.
struct OutlineItem {
    std::string text;
    OutlineItem* parent = nullptr;
    int row = 0;       // place among the parent's sub-items
    int number = 0;    // 1 for the root item, then tree order
    bool read = false; // sub-folders read from the disk
    bool expanded = false;
    std::vector<std::unique_ptr<OutlineItem>> children;
};

// Told before and after the tree changes shape, so that a view can follow.
class OutlineObserver {
public:
    virtual ~OutlineObserver() = default;
    virtual void beginInsert(const OutlineItem& parent, int count) = 0;
    virtual void endInsert() = 0;
    virtual void beginReset() = 0;
    virtual void endReset() = 0;
};

// A lazily read folder tree of one volume. Items are numbered 1 to count() in
// tree order: each item is followed by the sub-items read so far, collapsed
// ones included. A folder's sub-folders are read the first time it is
// expanded and then kept; names beginning with "." are left out and the rest
// sorted ascending ignoring letter case. A folder that cannot be read has no
// sub-folders. Numbers out of range raise EOutlineError.
class DirectoryOutline {
public:
    // Builds the tree of the volume of `volumes` that holds `folder`, opened
    // down to `folder` (each level matched ignoring letter case) with that
    // folder selected. A folder on the way that the tree does not list stops
    // the opening at the nearest listed one. Raises EOutlineError when the
    // volume cannot be read.
    DirectoryOutline(const FolderReader& reader, VolumeFolders& folders,
                     std::vector<std::string> volumes, const std::string& folder);
    ~DirectoryOutline();
    DirectoryOutline(const DirectoryOutline&) = delete;
    DirectoryOutline& operator=(const DirectoryOutline&) = delete;

    void setObserver(OutlineObserver* observer) { observer_ = observer; }

    const std::vector<std::string>& volumes() const { return volumes_; }
    // The mount point of the volume shown.
    const std::string& volume() const { return volume_; }
    // Another volume: rebuilds the tree opened down to that volume's current
    // folder. The same volume changes nothing. Raises EOutlineError when the
    // volume cannot be read, leaving the tree as it was.
    void setVolume(const std::string& mountPoint);

    int count() const { return static_cast<int>(order_.size()); }
    const OutlineItem& item(int number) const;
    const OutlineItem& root() const { return *root_; }
    const std::string& text(int number) const { return item(number).text; }
    // The folder's path: the mount point for the root item, else the mount
    // point and the names joined by "/" ("/mnt/usb/photos/2004").
    std::string fullPath(int number) const;
    std::string fullPath(const OutlineItem& item) const;

    // Reads the sub-folders if they were never read, and opens the item.
    void expand(int number);
    // Reads the sub-folders if they were never read, without opening the item.
    void readSubFolders(int number);
    // Closes the item; a selection inside it moves to the item.
    void collapse(int number);

    int selected() const { return selected_->number; }
    // Selects the item, or, when it lies inside a collapsed item, the
    // outermost collapsed item above it; that folder becomes current.
    void setSelected(int number);

private:
    OutlineItem& at(int number) const;
    void build(const std::string& volume, const std::string& folder,
               std::vector<std::string> rootNames);
    void attach(OutlineItem& item, std::vector<std::string> names);
    void read(OutlineItem& item);
    void select(OutlineItem& item);

    const FolderReader& reader_;
    VolumeFolders& folders_;
    std::vector<std::string> volumes_;
    std::string volume_;
    std::unique_ptr<OutlineItem> root_;
    std::vector<OutlineItem*> order_; // order_[n - 1] is item n
    OutlineItem* selected_ = nullptr;
    OutlineObserver* observer_ = nullptr;
};

} // namespace harpoly
