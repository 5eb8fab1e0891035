#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace harpoly {

class CodePage;

// The new-name rules of the renames and the extension change. A name splits
// at its last "." into base name and extension (dot included); the renames
// lower-case the extension by the code page's rule, the extension change
// does not.

// base + number in decimal + lower-case extension: ("a", 1, "x.JPG") -> "a1.jpg".
std::string numberedName(std::string_view base, std::int64_t number, std::string_view oldName,
                         const CodePage& cp);

// atStart: text + old name, unchanged; else base + text + lower-case extension.
std::string insertedName(std::string_view oldName, std::string_view text, bool atStart,
                         const CodePage& cp);

// Every non-overlapping occurrence of `search` in `text`, left to right, that
// begins on a character boundary, replaced by `replacement`. An empty search
// text matches nothing.
std::string replaceAll(std::string_view text, std::string_view search, std::string_view replacement,
                       const CodePage& cp);

// replaceAll on the base name + lower-case extension (the extension is never searched).
std::string replacedName(std::string_view oldName, std::string_view search,
                         std::string_view replacement, const CodePage& cp);

// base + "." + the new extension exactly as typed.
std::string extensionChangedName(std::string_view oldName, std::string_view newExtension);

} // namespace harpoly
