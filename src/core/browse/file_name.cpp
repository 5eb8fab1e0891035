#include "core/browse/file_name.h"

#include "core/platform/code_page.h"

namespace harpoly {

std::string FileExtLower(std::string_view name, const CodePage& cp) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) {
        return {};
    }
    if (name.find_first_of("\\/:", dot) != std::string_view::npos) {
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
