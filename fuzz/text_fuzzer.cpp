// Text decoding of the text preview: byte-order marks, UTF-8, CP932, cut at
// the end or not.
#include "core/browse/charset_decode.h"
#include "core/browse/text_preview.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (bool truncated : {false, true}) {
        (void)harpoly::decodeText(bytes, nullptr, truncated);
        (void)harpoly::cp932BytesToUtf8(bytes, truncated);
    }
    return 0;
}
