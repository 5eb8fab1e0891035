#pragma once

#include <string>

namespace harpoly {

// What a batch operation needs of the file list: its entries, which are
// selected, which is current, and a way to re-read the folder afterwards.
class FileListPort {
public:
    virtual ~FileListPort() = default;
    virtual int count() const = 0;
    virtual std::string name(int index) const = 0; // bare file name, file-system bytes
    virtual bool isSelected(int index) const = 0;
    virtual bool anySelected() const = 0;
    virtual int currentIndex() const = 0; // -1 when the list is empty
    // Re-reads the display folder and makes the entry byte-equal to `name`
    // current (none re-selected by name when empty or absent).
    virtual void refresh(const std::string& name) = 0;
};

} // namespace harpoly
