#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace harpoly {

// Splits comma text. Items are separated by commas; a blank or a control
// character also ends an item, and such characters between items are skipped.
// An item in double quotes may hold commas and blanks, "" inside standing for
// one quote. Two commas in a row give an empty item, and so does a comma that
// is the very last character.
std::vector<std::string> splitCommaText(std::string_view text);

// The opposite: items joined with commas, quoted when they hold a blank, a
// control character, a quote or a comma, or are empty.
std::string joinCommaText(const std::vector<std::string>& items);

} // namespace harpoly
