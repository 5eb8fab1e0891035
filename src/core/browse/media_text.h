#pragma once

#include <cstdint>
#include <string>

namespace harpoly {

// A playing time as minutes ":" seconds, each at least two digits. Minutes are
// never folded into hours: 3,725,000 ms reads "62:05". Negative times read as 0.
std::string playingTime(std::int64_t milliseconds);

// The information line of an opened media file:
// " 幅 W  高さ H" + " " + sizeText + "  時間 mm:ss". `sizeText` is the file's
// size text (" サイズ 123KB"), with its own leading blank. A file with no
// picture (sound only) is described with width and height 0.
std::string mediaInfoLine(int width, int height, const std::string& sizeText,
                          std::int64_t lengthMs);

// The elapsed-time panel: " 経過時間 mm:ss".
std::string elapsedText(std::int64_t positionMs);

// The position slider counts whole seconds from 0 to the media's length in
// whole seconds, truncated: a file shorter than one second gives 0 to 0.
int sliderMaximum(std::int64_t lengthMs);
// The slider position for a playing position, in whole seconds.
int sliderPosition(std::int64_t positionMs);

} // namespace harpoly
