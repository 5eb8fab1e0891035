// The icon resources of PE programs: the resource table, the icon groups
// and the icon images they name, decoded as the extraction does.
#include "program_resources_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    harpoly::fuzz::fuzzProgramResources(data, size, [](harpoly::MemorySource& memory) {
        return harpoly::readPeIconResources(memory);
    });
    return 0;
}
