#include "imaging/icon_file.h"

#include "errors.h"
#include "imaging/byte_file.h"
#include "imaging/icon_directory.h"
#include "imaging/icon_image.h"

namespace harpoly {

RgbaImage loadIconFileImage(const std::string& path) {
    const std::vector<std::uint8_t> file = readByteFile(path);
    const std::vector<IconDirectoryEntry> entries = readIconDirectory(file);
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
