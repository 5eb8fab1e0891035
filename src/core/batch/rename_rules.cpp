#include "core/batch/rename_rules.h"

#include "core/browse/file_name.h"
#include "core/platform/code_page.h"

namespace harpoly {

namespace {

std::string lowerExtension(std::string_view name, const CodePage& cp) {
    return cp.lower(extensionOf(name));
}

} // namespace

std::string numberedName(std::string_view base, std::int64_t number, std::string_view oldName,
                         const CodePage& cp) {
    return std::string(base) + std::to_string(number) + lowerExtension(oldName, cp);
}

std::string insertedName(std::string_view oldName, std::string_view text, bool atStart,
                         const CodePage& cp) {
    if (atStart) {
        return std::string(text) + std::string(oldName);
    }
    return std::string(baseNameOf(oldName)) + std::string(text) + lowerExtension(oldName, cp);
}

std::string replaceAll(std::string_view text, std::string_view search, std::string_view replacement,
                       const CodePage& cp) {
    std::string result;
    std::size_t from = 0;
    for (std::size_t at = cp.find(text, search, 0); at != std::string_view::npos;
         at = cp.find(text, search, from)) {
        result.append(text.substr(from, at - from));
        result.append(replacement);
        from = at + search.size();
    }
    result.append(text.substr(from));
    return result;
}

std::string replacedName(std::string_view oldName, std::string_view search,
                         std::string_view replacement, const CodePage& cp) {
    return replaceAll(baseNameOf(oldName), search, replacement, cp) + lowerExtension(oldName, cp);
}

std::string extensionChangedName(std::string_view oldName, std::string_view newExtension) {
    return std::string(baseNameOf(oldName)) + "." + std::string(newExtension);
}

} // namespace harpoly
