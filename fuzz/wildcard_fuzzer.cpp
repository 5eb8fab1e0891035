// The wildcard filter: the input is a pattern and a name separated by a NUL
// byte, matched under both code pages, and a filter text split into its
// folder and pattern.
#include "core/browse/wildcard.h"
#include "core/platform/code_page.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::size_t nul = text.find('\0');
    const std::string_view pattern = text.substr(0, nul);
    const std::string_view name =
        nul == std::string_view::npos ? std::string_view() : text.substr(nul + 1);
    for (const harpoly::CodePage* cp : {&harpoly::utf8CodePage(), &harpoly::cp932CodePage()}) {
        (void)harpoly::wildcardMatch(pattern, name, *cp);
        (void)harpoly::splitSearchPattern("/display/", pattern, *cp);
    }
    return 0;
}
