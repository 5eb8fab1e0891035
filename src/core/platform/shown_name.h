#pragma once

#include <string>
#include <string_view>

namespace harpoly {

// A file name as it is shown (UTF-8): the bytes themselves when they are valid
// UTF-8, else their CP932 (Shift-JIS) reading when that decodes cleanly, else
// the UTF-8 reading with U+FFFD for each invalid byte. The name on disk is
// never changed; this text is for display only.
std::string shownName(std::string_view bytes);

// A path as it is shown: each name between the "/" separators read as
// shownName reads it, so that a folder named in CP932 shows decoded inside a
// path whose other names are UTF-8.
std::string shownPath(std::string_view path);

bool isValidUtf8(std::string_view bytes);

} // namespace harpoly
