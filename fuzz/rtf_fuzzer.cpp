// The rich-text reader, with and without a text limit.
#include "core/browse/rtf_reader.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    (void)harpoly::readRtf(text).plainText();
    (void)harpoly::readRtf(text, 64).plainText();
    return 0;
}
