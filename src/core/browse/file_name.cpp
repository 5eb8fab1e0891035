#include "core/browse/file_name.h"

#include "core/platform/code_page.h"

namespace harpoly {

std::string FileExtLower(std::string_view name, const CodePage& cp) {
    // Walk whole characters: under CP932 the second byte of a double-byte
    // character may be 0x5C ("\\"), which is not a separator there.
    std::size_t dot = std::string_view::npos;
    for (std::size_t at = 0; at < name.size(); at += cp.charLength(name, at)) {
        const char c = name[at];
        if (c == '.') {
            dot = at;
        } else if (c == '\\' || c == '/' || c == ':') {
            dot = std::string_view::npos;
        }
    }
    if (dot == std::string_view::npos) {
        return {};
    }
    return cp.lower(name.substr(dot));
}

std::string FileExtLower(std::string_view name) {
    return FileExtLower(name, systemCodePage());
}

std::string_view extensionOf(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view{} : name.substr(dot);
}

std::string_view baseNameOf(std::string_view name) {
    return name.substr(0, name.size() - extensionOf(name).size());
}

} // namespace harpoly
