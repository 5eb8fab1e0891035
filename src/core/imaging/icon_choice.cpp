#include "core/imaging/icon_choice.h"

#include <cstdlib>

namespace harpoly {

int chooseIconImage(std::span<const IconCandidate> candidates, int size, int displayDepth) {
    int best = -1;
    int bestDistance = 0;
    int bestArea = 0;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const IconCandidate& c = candidates[i];
        const int distance = std::abs(c.width - size) + std::abs(c.height - size);
        const int area = c.width * c.height;
        if (best < 0 || distance < bestDistance || (distance == bestDistance && area > bestArea)) {
            best = static_cast<int>(i);
            bestDistance = distance;
            bestArea = area;
        }
    }
    if (best < 0) {
        return -1;
    }
    const int bestWidth = candidates[best].width;
    const int bestHeight = candidates[best].height;
    // Among the images of that size: the deepest colour the display shows;
    // when every one is deeper, the shallowest of them.
    int chosen = -1;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const IconCandidate& c = candidates[i];
        if (c.width != bestWidth || c.height != bestHeight) {
            continue;
        }
        if (chosen < 0) {
            chosen = static_cast<int>(i);
            continue;
        }
        const int have = candidates[chosen].depth;
        const bool haveFits = have <= displayDepth;
        const bool fits = c.depth <= displayDepth;
        if ((fits && !haveFits) || (fits && c.depth > have) ||
            (!fits && !haveFits && c.depth < have)) {
            chosen = static_cast<int>(i);
        }
    }
    return chosen;
}

} // namespace harpoly
