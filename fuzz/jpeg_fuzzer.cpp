// The JPEG decoder of the preview, at full size and at a reduced scale.
#include "core/imaging/jpeg_decoder.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using harpoly::fuzz::expectingErrors;
    expectingErrors([&] { (void)harpoly::decodeJpegMemory(data, size); });
    expectingErrors([&] { (void)harpoly::decodeJpegMemory(data, size, 32, 24); });
    return 0;
}
