// PNG images inside icons, through libpng, as an icon image.
#include "core/imaging/icon_image.h"
#include "core/imaging/png_decode.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using harpoly::fuzz::expectingErrors;
    const std::span<const std::uint8_t> bytes(data, size);
    expectingErrors([&] { (void)harpoly::decodePng(bytes, harpoly::kMaxIconSide); });
    expectingErrors([&] { (void)harpoly::drawIconOnWhite(harpoly::decodeIconImage(bytes)); });
    return 0;
}
