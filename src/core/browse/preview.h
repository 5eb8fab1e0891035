#pragma once

#include "core/browse/category_lists.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace harpoly {

enum class PreviewKind { Text, Media, Image, Icon, Other };

// The preview kind of a lower-case extension (dot included). Every entry of
// the text, media and image lists is compared in turn with "." + entry, byte
// for byte, so a later list overrides an earlier one and an entry written in
// upper case never matches; ".ico" is always an icon.
PreviewKind classifyFile(std::string_view extLower, const CategoryLists& lists);

// " サイズ 123KB" / " サイズ 2.34MB" (1 KB = 1000 bytes, truncated).
std::string sizeText(std::uint64_t bytes);
// Minutes ":" seconds of a playing time, each at least two digits ("62:05").
std::string playTimeText(std::int64_t milliseconds);

// " 幅 W  高さ H" + " " + size text: pictures and icons.
std::string pictureInfoLine(int width, int height, std::string_view sizeText);
// " 幅 W  高さ H " + size text + "  時間 mm:ss": media.
std::string mediaInfoLine(int width, int height, std::string_view sizeText, std::int64_t lengthMs);
// size text + "  このファイルはプレビュー出来ません": kind other.
std::string otherInfoLine(std::string_view sizeText);

inline constexpr const char* kNoFileChosenText = " ファイルが指定されていません";

// What the preview pane shows for one run of the preview operation.
enum class PreviewShow {
    Nothing, // no file chosen, previews off, or kind other: only infoLine
    Text,    // write sizeText, then load the text (TextLoader) into TXT
    Media,   // open the media file; the information line comes from the player
    Image,   // load the picture (loadPreviewPicture), then pictureInfoLine
    Icon,    // load the icon file's image, then pictureInfoLine on white
};

struct PreviewPlan {
    bool fileChosen = false;
    PreviewKind kind = PreviewKind::Other;
    PreviewShow show = PreviewShow::Nothing;
    std::string name;     // the current item's bare name
    std::string path;     // display folder + name
    std::string extLower; // FileExtLower(path)
    std::string sizeText; // " サイズ ..."; empty when no file is chosen
    // The information line to write at once; empty for Image, Icon and Media,
    // whose line needs the loaded picture's or media's size.
    std::string infoLine;
    // While full-screen mode is on, the full-screen status bar's first panel:
    // " " + name (empty when no file is chosen).
    std::string fullScreenNameText;
};

// Plans a run of the preview operation. `currentName` is the current item's
// name, or nullopt when no file is chosen (empty list). `fileSize` is the
// file's size in bytes, or nullopt when the file cannot be found (it is then
// described as 0 bytes; the load that follows fails and reports the error).
PreviewPlan planPreview(const std::string& displayFolder,
                        const std::optional<std::string>& currentName, bool previewOff,
                        const CategoryLists& lists, std::optional<std::uint64_t> fileSize);

// Same, taking the size from the file system (stat of display folder + name).
PreviewPlan planPreview(const std::string& displayFolder,
                        const std::optional<std::string>& currentName, bool previewOff,
                        const CategoryLists& lists);

} // namespace harpoly
