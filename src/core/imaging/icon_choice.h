#pragma once

#include <span>

namespace harpoly {

// What an icon directory says of one of its images.
struct IconCandidate {
    int width = 0; // pixels; a directory byte of 0 stands for 256
    int height = 0;
    int depth = 0; // bits per pixel
};

// Bits per pixel of the display the icons are drawn for.
inline constexpr int kDisplayDepth = 32;
// The system's large-icon size.
inline constexpr int kLargeIconSize = 32;

// The image the system takes for an icon of `size` by `size` pixels: the
// images nearest that size (the exact size when there is one; on a tie the
// larger, which scales down), among them the deepest colour not above the
// display's depth. -1 when there is no candidate.
int chooseIconImage(std::span<const IconCandidate> candidates, int size = kLargeIconSize,
                    int displayDepth = kDisplayDepth);

} // namespace harpoly
