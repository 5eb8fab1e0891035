#include "core/browse/preview.h"

#include "core/browse/file_name.h"
#include "core/platform/shown_name.h"

#include <sys/stat.h>

namespace harpoly {

PreviewKind classifyFile(std::string_view extLower, const CategoryLists& lists) {
    PreviewKind kind = PreviewKind::Other;
    const auto scan = [&](const std::vector<std::string>& list, PreviewKind k) {
        for (const std::string& entry : list) {
            if (extLower.size() == entry.size() + 1 && extLower[0] == '.' &&
                extLower.substr(1) == entry) {
                kind = k;
            }
        }
    };
    scan(lists.text, PreviewKind::Text);
    scan(lists.media, PreviewKind::Media);
    scan(lists.image, PreviewKind::Image);
    if (extLower == ".ico") {
        kind = PreviewKind::Icon;
    }
    return kind;
}

std::string sizeText(std::uint64_t bytes) {
    const std::uint64_t k = bytes / 1000;
    const std::uint64_t m = k / 1000;
    std::string out = " サイズ ";
    if (m >= 1) {
        const std::uint64_t h = (k % 1000) / 10;
        out += std::to_string(m) + "." + (h < 10 ? "0" : "") + std::to_string(h) + "MB";
    } else {
        out += std::to_string(k) + "KB";
    }
    return out;
}

namespace {
std::string twoDigits(std::int64_t n) {
    std::string s = std::to_string(n);
    return s.size() < 2 ? "0" + s : s;
}
} // namespace

std::string playTimeText(std::int64_t milliseconds) {
    if (milliseconds < 0) {
        milliseconds = 0;
    }
    return twoDigits(milliseconds / 60000) + ":" + twoDigits((milliseconds % 60000) / 1000);
}

std::string pictureInfoLine(int width, int height, std::string_view size) {
    return " 幅 " + std::to_string(width) + "  高さ " + std::to_string(height) + " " +
           std::string(size);
}

std::string mediaInfoLine(int width, int height, std::string_view size, std::int64_t lengthMs) {
    return " 幅 " + std::to_string(width) + "  高さ " + std::to_string(height) + " " +
           std::string(size) + "  時間 " + playTimeText(lengthMs);
}

std::string otherInfoLine(std::string_view size) {
    return std::string(size) + "  このファイルはプレビュー出来ません";
}

PreviewPlan planPreview(const std::string& displayFolder,
                        const std::optional<std::string>& currentName, bool previewOff,
                        const CategoryLists& lists, std::optional<std::uint64_t> fileSize) {
    PreviewPlan plan;
    if (!currentName) {
        plan.infoLine = kNoFileChosenText;
        return plan;
    }
    plan.fileChosen = true;
    plan.name = *currentName;
    plan.path = displayFolder + *currentName;
    plan.extLower = FileExtLower(plan.path);
    plan.kind = classifyFile(plan.extLower, lists);
    plan.sizeText = sizeText(fileSize.value_or(0));
    plan.fullScreenNameText = " " + shownName(plan.name);
    if (previewOff) {
        plan.infoLine = plan.sizeText;
        return plan;
    }
    switch (plan.kind) {
    case PreviewKind::Text:
        plan.show = PreviewShow::Text;
        plan.infoLine = plan.sizeText;
        break;
    case PreviewKind::Media:
        plan.show = PreviewShow::Media;
        break;
    case PreviewKind::Image:
        plan.show = PreviewShow::Image;
        break;
    case PreviewKind::Icon:
        plan.show = PreviewShow::Icon;
        break;
    case PreviewKind::Other:
        plan.infoLine = otherInfoLine(plan.sizeText);
        break;
    }
    return plan;
}

PreviewPlan planPreview(const std::string& displayFolder,
                        const std::optional<std::string>& currentName, bool previewOff,
                        const CategoryLists& lists) {
    std::optional<std::uint64_t> size;
    if (currentName) {
        struct stat st {};
        if (::stat((displayFolder + *currentName).c_str(), &st) == 0) {
            size = static_cast<std::uint64_t>(st.st_size);
        }
    }
    return planPreview(displayFolder, currentName, previewOff, lists, size);
}

} // namespace harpoly
