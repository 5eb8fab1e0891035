#include "core/imaging/icon_file.h"

#include "core/errors.h"
#include "core/imaging/icon_directory.h"
#include "core/imaging/icon_image.h"
#include "core/platform/whole_file.h"

namespace harpoly {

RgbaImage loadIconFileImage(const std::string& path) {
    // The header first, so that a large file of another kind named .ico is
    // refused without being read whole.
    const FileBytes head = readFileHead(path, 6);
    if (!looksLikeIconFile({head.data.get(), head.size})) {
        raise(kind::InvalidGraphic);
    }
    const FileBytes file = readFileHead(path, kNoReadCap);
    const std::vector<IconDirectoryEntry> entries = readIconDirectory({file.data.get(), file.size});
    std::vector<IconCandidate> candidates;
    for (const auto& e : entries) {
        candidates.push_back(e.size);
    }
    const int chosen = chooseIconImage(candidates);
    if (chosen < 0 || entries[chosen].data.empty()) {
        raise(kind::InvalidGraphic);
    }
    return drawIconOnWhite(decodeIconImage(entries[chosen].data));
}

} // namespace harpoly
