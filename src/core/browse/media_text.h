#pragma once

#include <cstdint>
#include <string>

namespace harpoly {

// The playing time and information line of a media file are the preview's
// (playTimeText, mediaInfoLine in browse/preview.h). A file with no picture
// (sound only) is described with width and height 0.

// The elapsed-time panel: " 経過時間 mm:ss".
std::string elapsedText(std::int64_t positionMs);

// The position slider counts whole seconds from 0 to the media's length in
// whole seconds, truncated: a file shorter than one second gives 0 to 0.
int sliderMaximum(std::int64_t lengthMs);
// The slider position for a playing position, in whole seconds.
int sliderPosition(std::int64_t positionMs);

} // namespace harpoly
