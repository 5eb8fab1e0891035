#include "core/app/window_rules.h"

#include "core/platform/shown_name.h"

#include <algorithm>

namespace harpoly {

BoxBarWidths boxBarWidths(int boxWidth) {
    const int progress = boxWidth >= 320 ? 300 : boxWidth - 20;
    const int track = boxWidth >= 420 ? 300 : boxWidth - 120;
    return {std::max(progress, 0), std::max(track, 0)};
}

namespace {
// The folder is decoded before its backslashes are shown as "/": in a CP932
// name the byte of a backslash may be the second half of a double-byte
// character.
std::string folderLine(const char* opening, const std::string& folder) {
    std::string shown = shownPath(folder);
    std::replace(shown.begin(), shown.end(), '\\', '/');
    return opening + shown;
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
