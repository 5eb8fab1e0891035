#include "core/app/window_rules.h"

#include <algorithm>

namespace harpoly {

BoxBarWidths boxBarWidths(int boxWidth) {
    const int progress = boxWidth >= 320 ? 300 : boxWidth - 20;
    const int track = boxWidth >= 420 ? 300 : boxWidth - 120;
    return {std::max(progress, 0), std::max(track, 0)};
}

namespace {
std::string folderLine(const char* opening, std::string folder) {
    std::replace(folder.begin(), folder.end(), '\\', '/');
    return opening + folder;
}
} // namespace

std::string displayFolderLine(const std::string& folder) {
    return folderLine(" 表示フォルダ = ", folder);
}

std::string outputFolderLine(const std::string& folder) {
    return folderLine(" 出力フォルダ = ", folder);
}

std::string chosenFolder(const std::string& path) {
    if (!path.empty() && path.back() == '/') {
        return path;
    }
    return path + "/";
}

std::string startupErrorText(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') {
        return message + ".";
    }
    return message;
}

} // namespace harpoly
