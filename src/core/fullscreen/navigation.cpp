#include "core/fullscreen/navigation.h"

#include <algorithm>

namespace harpoly {

int nextEntry(int current, int count) {
    if (count <= 0) {
        return -1;
    }
    if (current < 0 || current >= count - 1) {
        return 0;
    }
    return current + 1;
}

int previousEntry(int current, int count) {
    if (count <= 0) {
        return -1;
    }
    if (current <= 0 || current >= count) {
        return count - 1;
    }
    return current - 1;
}

int scrolledBy(int value, int delta, int maximum) {
    return std::clamp(value + delta, 0, std::max(maximum, 0));
}

} // namespace harpoly
