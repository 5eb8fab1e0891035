#pragma once

#include <string>
#include <string_view>

namespace harpoly {

class CodePage;

// Matches a file name against a wildcard pattern: "*" stands for any run of
// characters, "?" for exactly one character (a double-byte character counts
// as one), other characters match themselves ignoring ASCII letter case. A
// pattern ending in ".*" also matches names where that part is absent, so
// "*.*" matches every name, names without a dot included.
bool wildcardMatch(std::string_view pattern, std::string_view name, const CodePage& cp);

// The same for a pattern and a name that are both lower-cased by `cp` already.
bool wildcardMatchLowered(std::string_view pattern, std::string_view name, const CodePage& cp);

// The search pattern is the display folder followed by the filter text; a
// filter text with a folder part of its own searches there. Splits it at the
// last "/" into the folder to read (ending in "/", as written) and the name
// pattern (lower-cased by `cp`).
struct SearchPattern {
    std::string folder;
    std::string namePattern;
};
SearchPattern splitSearchPattern(std::string_view displayFolder, std::string_view filterText,
                                 const CodePage& cp);

} // namespace harpoly
