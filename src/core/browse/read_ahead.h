#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace harpoly {

// Which pictures are decoded ahead of the user who steps through the list, and
// how much memory their decoded pictures may take.

// The direction of the move from entry `from` to entry `to` of a list of
// `count` entries: +1 forward, -1 back, 0 for no move (or no list). A single
// step round the end of the list (last to first, first to last), as the
// full-screen view takes it, counts as one step in its own direction; any
// other jump counts by its sign.
int travelDirection(int from, int to, int count);

// The entries worth decoding once entry `current` is shown, best first: the
// next one in the direction of travel (forward when `direction` is 0), then
// the one behind. With `wrap` the list is a ring, as in full-screen view;
// without it, entries past either end are left out. Never `current` itself,
// never one entry twice.
std::vector<int> readAheadEntries(int current, int count, int direction, bool wrap);

// Decoded pictures kept for stepping (the one on show and those read ahead)
// may take this many pictures of the drawing area's size.
inline constexpr int kKeptPictures = 5;
// Bytes of one picture of width x height as the window holds it (4 a pixel).
std::size_t pictureBytes(int width, int height);
// The memory budget for a drawing area of width x height: kKeptPictures of
// its size, and never less than a 1920 x 1080 screen's worth, so that a small
// window does not starve the read-ahead of a picture drawn at its own size.
std::size_t keptPicturesBudget(int areaWidth, int areaHeight);

} // namespace harpoly
