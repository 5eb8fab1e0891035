#include "core/batch/jpeg_selection.h"

#include "core/app/confirm.h"
#include "core/app/ui_ports.h"
#include "core/browse/file_list_port.h"
#include "core/browse/file_name.h"

namespace harpoly {

bool compareSize(std::int64_t value, int comparisonItem, std::int64_t threshold) {
    switch (static_cast<SizeComparison>(comparisonItem)) {
    case SizeComparison::AtLeast:
        return value >= threshold;
    case SizeComparison::Equal:
        return value == threshold;
    case SizeComparison::AtMost:
        return value <= threshold;
    }
    return false;
}

JpegSizeCondition JpegSizeCondition::widthAndHeight(int widthItem, std::int32_t width, int joinItem,
                                                    int heightItem, std::int32_t height) {
    JpegSizeCondition c;
    c.widthItem_ = widthItem;
    c.width_ = width;
    c.joinItem_ = joinItem;
    c.heightItem_ = heightItem;
    c.height_ = height;
    return c;
}

JpegSizeCondition JpegSizeCondition::area(int areaItem, std::int32_t area) {
    JpegSizeCondition c;
    c.byArea_ = true;
    c.areaItem_ = areaItem;
    c.area_ = area;
    return c;
}

bool JpegSizeCondition::matches(PixelSize size) const {
    if (byArea_) {
        return compareSize(std::int64_t{size.width} * size.height, areaItem_, area_);
    }
    const bool widthOk = compareSize(size.width, widthItem_, width_);
    const bool heightOk = compareSize(size.height, heightItem_, height_);
    return joinItem_ == 0 ? widthOk && heightOk : widthOk || heightOk;
}

bool isJpegName(std::string_view name, const CodePage& cp) {
    const std::string ext = FileExtLower(name, cp);
    return ext == ".jpg" || ext == ".jpeg";
}

bool selectJpegsBySize(const BatchPorts& ports, const std::string& displayFolder,
                       const std::string& outputFolder, const std::string& caption,
                       const JpegSizeCondition& condition) {
    FileListPort& list = ports.list;
    if (!ConfirmAction(ports.prompter, list, "出力フォルダに対象ファイルを移動しますか?", caption,
                       false)) {
        return false;
    }
    const int current = list.currentIndex();
    const std::string currentName = current >= 0 ? list.name(current) : std::string();

    ports.busy.begin(list.count());
    try {
        JpegSizeReader reader;
        for (int i = 0; i < list.count(); ++i) {
            const std::string name = list.name(i);
            if (isJpegName(name, ports.codePage)) {
                const std::string from = pathInFolder(displayFolder, name);
                if (condition.matches(reader.read(from))) {
                    (void)ports.move(from, pathInFolder(outputFolder, name));
                }
            }
            ports.busy.step();
        }
    } catch (...) {
        // The files moved so far are gone from the folder: show the list as
        // it now is, then let the error be reported.
        ports.busy.end();
        list.refresh(currentName);
        throw;
    }
    ports.busy.end();
    list.refresh(currentName);
    return true;
}

} // namespace harpoly
