#include "browse/media_text.h"

#include <algorithm>
#include <limits>

namespace harpoly {

namespace {

std::string twoDigits(std::int64_t n) {
    std::string s = std::to_string(n);
    return s.size() < 2 ? "0" + s : s;
}

int wholeSeconds(std::int64_t ms) {
    const std::int64_t s = std::max<std::int64_t>(ms, 0) / 1000;
    return static_cast<int>(std::min<std::int64_t>(s, std::numeric_limits<int>::max()));
}

} // namespace

std::string playingTime(std::int64_t milliseconds) {
    const std::int64_t ms = std::max<std::int64_t>(milliseconds, 0);
    return twoDigits(ms / 60000) + ":" + twoDigits((ms % 60000) / 1000);
}

std::string mediaInfoLine(int width, int height, const std::string& sizeText,
                          std::int64_t lengthMs) {
    return " 幅 " + std::to_string(width) + "  高さ " + std::to_string(height) + " " + sizeText +
           "  時間 " + playingTime(lengthMs);
}

std::string elapsedText(std::int64_t positionMs) {
    return " 経過時間 " + playingTime(positionMs);
}

int sliderMaximum(std::int64_t lengthMs) {
    return wholeSeconds(lengthMs);
}

int sliderPosition(std::int64_t positionMs) {
    return wholeSeconds(positionMs);
}

} // namespace harpoly
