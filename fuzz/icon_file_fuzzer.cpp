// Icon files (.ico): the preview's reader from a file, and the extraction's
// icon source.
#include "core/imaging/icon_file.h"
#include "core/imaging/icon_source.h"
#include "fuzz_input.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using harpoly::fuzz::expectingErrors;
    const std::string path = harpoly::fuzz::asFile(data, size);
    expectingErrors([&] { (void)harpoly::loadIconFileImage(path); });
    const harpoly::IconSource source = harpoly::IconSource::fromFile(path);
    for (int i = 0; i < source.count() && i < 4; ++i) {
        expectingErrors([&] { (void)source.icon(i, 32); });
        expectingErrors([&] { (void)source.icon(i, 48); });
    }
    return 0;
}
