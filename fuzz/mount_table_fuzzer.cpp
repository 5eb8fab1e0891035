// The mount table reader of the drive list, and the path rules built on it.
#include "core/platform/volumes.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto table = harpoly::parseMountTable(text);
    const auto drives = harpoly::driveMountPoints(table);
    for (const auto& entry : table) {
        (void)harpoly::isDriveFileSystem(entry);
        const std::string volume = harpoly::volumeOf(entry.mountPoint, drives);
        (void)harpoly::componentsBelow(harpoly::normalizeFolderPath(entry.mountPoint), volume);
    }
    return 0;
}
