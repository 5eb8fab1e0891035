// The icon resources of PE programs: the resource table, the icon groups
// and the icon images they name, decoded as the extraction does.
#include "core/imaging/icon_directory.h"
#include "core/imaging/icon_source.h"
#include "core/imaging/program_resources.h"
#include "core/platform/byte_source.h"
#include "fuzz_input.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using harpoly::fuzz::expectingErrors;
    harpoly::MemorySource memory(data, size);
    if (const auto program = harpoly::readPeIconResources(memory)) {
        for (const harpoly::ResourceSpan& group : program->groups()) {
            (void)memory.bytes(group.offset, group.size);
        }
        for (std::uint16_t id = 0; id < 64; ++id) {
            if (const auto image = program->image(id)) {
                expectingErrors([&] { (void)harpoly::readIconImage(memory, image); });
            }
        }
    }
    const harpoly::IconSource source =
        harpoly::IconSource::fromBytes(std::vector<std::uint8_t>(data, data + size));
    for (int i = 0; i < source.count() && i < 8; ++i) {
        expectingErrors([&] { (void)source.icon(i, 32); });
    }
    return 0;
}
