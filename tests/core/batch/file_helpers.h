#pragma once

#include <dirent.h>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace harpoly::testing {

inline void writeFile(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// The names in a folder, as raw bytes, without "." and "..".
inline std::set<std::string> namesIn(const std::string& folder) {
    std::set<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* e = ::readdir(dir)) {
            const std::string n = e->d_name;
            if (n != "." && n != "..") {
                names.insert(n);
            }
        }
        ::closedir(dir);
    }
    return names;
}

} // namespace harpoly::testing
