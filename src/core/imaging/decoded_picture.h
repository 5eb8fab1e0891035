#pragma once

#include "core/imaging/image.h"

#include <stop_token>

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

// What a picture is decoded for.
struct DecodeTarget {
    // The box the picture is fitted into; 0 x 0 for its own size.
    int boxWidth = 0;
    int boxHeight = 0;
    // Hand the image over at exactly the size the fit rule draws it in the
    // box, reduced while decoding (the decoder never holds the picture at a
    // larger size), rather than at the decoder's nearest cheaper scale.
    bool drawnSize = false;
    // A decode asked to stop (from another thread) ends early and hands over
    // an empty picture (0 x 0), which the caller throws away.
    std::stop_token stop;
};

} // namespace harpoly
