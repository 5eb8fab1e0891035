#pragma once

namespace harpoly {

struct DrawRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const DrawRect&) const = default;
};

enum class PictureMode {
    Fit,     // shrunk to the box if larger (never enlarged), centred
    Natural, // own size at the top-left corner; the box scrolls
};

// Where a picture of `width` x `height` is drawn in a box of
// `boxWidth` x `boxHeight`. In fit mode a picture that fits is drawn at its own
// size; a larger one is shrunk keeping its aspect ratio, the dependent side
// truncated, and centred with the offsets (box - drawn) div 2.
DrawRect pictureRect(int width, int height, int boxWidth, int boxHeight,
                     PictureMode mode = PictureMode::Fit);

} // namespace harpoly
