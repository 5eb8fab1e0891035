// The bitmap decoder, from memory.
#include "core/imaging/bmp_decoder.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    harpoly::fuzz::expectingErrors([&] { (void)harpoly::decodeBmpMemory(data, size); });
    return 0;
}
