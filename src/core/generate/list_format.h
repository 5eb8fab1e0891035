#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace harpoly {

// The four kinds of file the link tab writes, in the order of its drop-down.
enum class ListKind { Link = 0, Album = 1, Asx = 2, Smil = 3 };

// The drop-down index as a kind; any index outside 1 to 3 is the link page.
ListKind listKindFromIndex(int index);

struct ListFormat {
    const char* extension; // ".html", ".asx", ".smil"
    const char* extKey;    // key of [Ext] that selects the names; nullptr: every name
    const char* line1;
    const char* line2;
    const char* lastLine;
};

const ListFormat& listFormat(ListKind kind);

// The line of one listed file. Names go in as their bytes; a name holding a
// character that would break the markup (", <, > or a control character) is
// written with character references instead, and the link page quotes an
// href holding such a character or a blank.
std::string listFileLine(ListKind kind, std::string_view name);

// The whole text: first two lines, one line per name that qualifies (every
// name for the link page; else a name whose lower-cased extension equals "."
// + an entry of `extensions`, compared byte for byte), the last line.
std::vector<std::string> buildListLines(ListKind kind, const std::vector<std::string>& names,
                                        const std::vector<std::string>& extensions);

// The lines as file bytes: each followed by CR LF, the last included.
std::string joinCrLf(const std::vector<std::string>& lines);

} // namespace harpoly
