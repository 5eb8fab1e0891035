#pragma once

#include <string>

namespace harpoly {

// Widths of the progress bar `PB` and the media track bar `MPt` for a preview
// box `boxWidth` pixels wide: each keeps its design width while it fits and
// otherwise leaves a margin (20 and 120 pixels). Widths below zero are
// clamped to 0.
struct BoxBarWidths {
    int progress;
    int track;
};
BoxBarWidths boxBarWidths(int boxWidth);

// The folder lines of the two status bars: " 表示フォルダ = " or
// " 出力フォルダ = " followed by the folder as shown (shownPath) with every
// "\" shown as "/".
std::string displayFolderLine(const std::string& folder);
std::string outputFolderLine(const std::string& folder);

// The folder a confirmed chooser path stands for: the path with a final "/"
// (added unless it is already there, so the root "/" stays "/").
std::string chosenFolder(const std::string& path);

// The text of the start-up error box: the message, with "." appended when it
// is not empty and its last byte sorts after ".".
std::string startupErrorText(const std::string& message);

} // namespace harpoly
