#include "core/imaging/fit_rect.h"

#include <cstdint>

namespace harpoly {

DrawRect pictureRect(int width, int height, int boxWidth, int boxHeight, PictureMode mode) {
    if (width <= 0 || height <= 0) {
        return {};
    }
    if (mode == PictureMode::Natural) {
        return {0, 0, width, height};
    }
    const std::int64_t w = width;
    const std::int64_t h = height;
    std::int64_t dw = w;
    std::int64_t dh = h;
    if (w > boxWidth || h > boxHeight) {
        // r = w / h; cw / r is cw * h / w and ch * r is ch * w / h, truncated.
        const std::int64_t cw = boxWidth < 0 ? 0 : boxWidth;
        const std::int64_t ch = boxHeight < 0 ? 0 : boxHeight;
        if (w > h) {
            dw = cw;
            dh = cw * h / w;
            if (dh > ch) {
                dh = ch;
                dw = ch * w / h;
            }
        } else {
            dh = ch;
            dw = ch * w / h;
            if (dw > cw) {
                dw = cw;
                dh = cw * h / w;
            }
        }
    }
    return {static_cast<int>((boxWidth - dw) / 2), static_cast<int>((boxHeight - dh) / 2),
            static_cast<int>(dw), static_cast<int>(dh)};
}

} // namespace harpoly
