#pragma once

#include <string>
#include <vector>

namespace harpoly {

// The three category lists of the settings file's [Ext] section: extensions
// without the dot, in the letter case the file holds them.
struct CategoryLists {
    std::vector<std::string> text;  // key Txt
    std::vector<std::string> media; // key WM
    std::vector<std::string> image; // key Img
};

} // namespace harpoly
