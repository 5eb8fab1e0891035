#pragma once

// What the PE and NE fuzz targets share: a program's resource table read by
// one of the two readers, its icon groups and the images they name decoded as
// the extraction does, then the whole input through the icon source.

#include "core/imaging/icon_directory.h"
#include "core/imaging/icon_source.h"
#include "core/imaging/program_resources.h"
#include "core/platform/byte_source.h"
#include "fuzz_input.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace harpoly::fuzz {

template <typename ReadResources>
void fuzzProgramResources(const std::uint8_t* data, std::size_t size, ReadResources&& read) {
    MemorySource memory(data, size);
    if (const auto program = read(memory)) {
        for (const ResourceSpan& group : program->groups()) {
            (void)memory.bytes(group.offset, group.size);
        }
        for (std::uint16_t id = 0; id < 64; ++id) {
            if (const auto image = program->image(id)) {
                expectingErrors([&] { (void)readIconImage(memory, image); });
            }
        }
    }
    const IconSource source = IconSource::fromBytes(std::vector<std::uint8_t>(data, data + size));
    for (int i = 0; i < source.count() && i < 8; ++i) {
        expectingErrors([&] { (void)source.icon(i, 32); });
    }
}

} // namespace harpoly::fuzz
