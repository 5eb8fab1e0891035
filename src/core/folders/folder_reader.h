#pragma once

#include <string>
#include <vector>

namespace harpoly {

// Reads the sub-folders of one folder for the folder tree. The tree reads
// through this seam so that tests can count or fake the reads.
class FolderReader {
public:
    virtual ~FolderReader() = default;
    // Fills `names` with the entries of `folder` that are folders (a symbolic
    // link to a folder counts), in any order and unfiltered. Returns false when
    // the folder cannot be listed.
    virtual bool subFolders(const std::string& folder, std::vector<std::string>& names) const = 0;
};

class SystemFolderReader : public FolderReader {
public:
    bool subFolders(const std::string& folder, std::vector<std::string>& names) const override;
};

} // namespace harpoly
