#include "core/browse/read_ahead.h"

#include <algorithm>

namespace harpoly {

int travelDirection(int from, int to, int count) {
    if (count <= 0 || from == to || from < 0 || to < 0) {
        return 0;
    }
    if (count > 2) {
        if (from == count - 1 && to == 0) {
            return 1;
        }
        if (from == 0 && to == count - 1) {
            return -1;
        }
    }
    return to > from ? 1 : -1;
}

std::vector<int> readAheadEntries(int current, int count, int direction, bool wrap) {
    std::vector<int> entries;
    if (count <= 1 || current < 0 || current >= count) {
        return entries;
    }
    const int ahead = direction < 0 ? -1 : 1;
    for (const int step : {ahead, -ahead}) {
        int entry = current + step;
        if (wrap) {
            entry = (entry + count) % count;
        }
        if (entry >= 0 && entry < count && entry != current &&
            std::find(entries.begin(), entries.end(), entry) == entries.end()) {
            entries.push_back(entry);
        }
    }
    return entries;
}

std::size_t pictureBytes(int width, int height) {
    if (width <= 0 || height <= 0) {
        return 0;
    }
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
}

std::size_t keptPicturesBudget(int areaWidth, int areaHeight) {
    const std::size_t floor = pictureBytes(1920, 1080);
    return kKeptPictures * std::max(pictureBytes(areaWidth, areaHeight), floor);
}

} // namespace harpoly
