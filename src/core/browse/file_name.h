#pragma once

#include <string>
#include <string_view>

namespace harpoly {

class CodePage;

// The extension of a bare name or a full path, dot included, lower-cased by
// the code page's rule; empty when there is no dot after the last "/", "\" or ":".
std::string FileExtLower(std::string_view name, const CodePage& cp);
std::string FileExtLower(std::string_view name); // system code page

// The extension as it is written (from the last "." of a bare name), and the
// base name before it. ".profile" has the extension ".profile" and an empty base.
std::string_view extensionOf(std::string_view name);
std::string_view baseNameOf(std::string_view name);

} // namespace harpoly
