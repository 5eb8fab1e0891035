#pragma once

#include "core/imaging/image.h"

namespace harpoly {

// A picture as a decoder hands it over. `image` may be smaller than the
// picture itself when the decoder was allowed to scale it down for a small
// drawing area; `width` and `height` are always the picture's own size, the
// one that the information line describes and the fit rule works from. Draw
// `image` scaled into the rectangle that the fit rule gives for width x height.
struct DecodedPicture {
    RgbaImage image;
    int width = 0;
    int height = 0;
};

} // namespace harpoly
