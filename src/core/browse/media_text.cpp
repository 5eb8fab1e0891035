#include "core/browse/media_text.h"

#include "core/browse/preview.h"

#include <algorithm>
#include <limits>

namespace harpoly {

namespace {

int wholeSeconds(std::int64_t ms) {
    const std::int64_t s = std::max<std::int64_t>(ms, 0) / 1000;
    return static_cast<int>(std::min<std::int64_t>(s, std::numeric_limits<int>::max()));
}

} // namespace

std::string elapsedText(std::int64_t positionMs) {
    return " 経過時間 " + playTimeText(positionMs);
}

int sliderMaximum(std::int64_t lengthMs) {
    return wholeSeconds(lengthMs);
}

int sliderPosition(std::int64_t positionMs) {
    return wholeSeconds(positionMs);
}

} // namespace harpoly
