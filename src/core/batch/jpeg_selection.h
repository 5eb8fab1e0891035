#pragma once

#include "core/batch/batch_ports.h"
#include "core/batch/jpeg_size_reader.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace harpoly {

// The items of the comparison lists "以上", "同じ", "以下".
enum class SizeComparison { AtLeast = 0, Equal = 1, AtMost = 2 };

// compare(value, item, threshold); an item outside the list (none chosen)
// gives false.
bool compareSize(std::int64_t value, int comparisonItem, std::int64_t threshold);

// The size condition of one tab.
class JpegSizeCondition {
public:
    // Width and height, each compared with its threshold; joinItem 0 ("かつ")
    // needs both tests, any other ("または") one of them.
    static JpegSizeCondition widthAndHeight(int widthItem, std::int32_t width, int joinItem,
                                            int heightItem, std::int32_t height);
    // width x height, formed in 64 bits so that a picture beyond the 32-bit
    // range compares as its true area.
    static JpegSizeCondition area(int areaItem, std::int32_t area);

    bool matches(PixelSize size) const;

private:
    bool byArea_ = false;
    int widthItem_ = 0, heightItem_ = 0, joinItem_ = 0, areaItem_ = 0;
    std::int64_t width_ = 0, height_ = 0, area_ = 0;
};

// Whether the name is examined: its lower-case extension is ".jpg" or ".jpeg".
bool isJpegName(std::string_view name, const CodePage& cp);

// Asks "出力フォルダに対象ファイルを移動しますか?" under `caption` (also with nothing
// selected). On OK examines every list entry with a JPEG name, one progress
// step per entry, and moves each match from `displayFolder` to `outputFolder`
// under its own name (never replacing; a failed move is silent), then
// re-reads the list with the current entry's name. A file that cannot be
// opened (EFOpenError) or is not JPEG (EJPEG) ends the run there with that
// error; the files moved before it stay moved, and the busy indicator is
// ended and the list re-read before the error goes on to the caller.
// Returns whether the walk ran.
bool selectJpegsBySize(const BatchPorts& ports, const std::string& displayFolder,
                       const std::string& outputFolder, const std::string& caption,
                       const JpegSizeCondition& condition);

} // namespace harpoly
