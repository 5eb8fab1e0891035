#include "core/generate/icon_extraction.h"

#include "core/app/ui_ports.h"
#include "core/browse/file_list_port.h"
#include "core/imaging/icon_choice.h"
#include "core/imaging/icon_source.h"
#include "core/imaging/icon_writers.h"
#include "core/platform/shown_name.h"
#include "core/platform/whole_file.h"

namespace harpoly {

namespace {
const char* const kSixteenColorsOnly = "アイコン形式の正常出力は16色アイコンだけです。";
} // namespace

std::string iconFormatExtension(int formatIndex) {
    switch (formatIndex) {
    case 0:
        return ".ico";
    case 1:
        return ".bmp";
    case 2:
        return ".jpg";
    default:
        return {};
    }
}

std::string iconStem(const std::string& outputFolder, const std::string& name) {
    // The extension as the file list sees it: a dot followed later by "/",
    // "\" or ":" starts none, and the name is then used whole.
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || name.find_first_of("\\/:", dot) != std::string::npos) {
        return outputFolder + name;
    }
    return outputFolder + name.substr(0, dot);
}

std::string iconPictureName(const std::string& stem, int index, int formatIndex) {
    return stem + "-" + std::to_string(index) + iconFormatExtension(formatIndex);
}

std::vector<std::uint8_t> encodeIconPicture(const IconImage& icon, IconFormat format) {
    switch (format) {
    case IconFormat::Ico:
        return encodeIco16(icon);
    case IconFormat::Bmp:
        return encodeBmp32(drawIconOnWhite(icon));
    case IconFormat::Jpeg:
    default:
        return encodeJpeg(drawIconOnWhite(icon), 90);
    }
}

void noticeIconFormat(int formatIndex, Prompter& prompter, const std::string& caption) {
    if (formatIndex == 0) {
        prompter.notice(kSixteenColorsOnly, caption);
    }
}

IconExtractResult extractIcons(const IconExtractRequest& request, FileListPort& list,
                               Prompter& prompter, BusyIndicator& busy,
                               const std::function<void()>& preview) {
    const IconSource source = IconSource::fromFile(request.displayFolder + request.name);
    const int count = source.count();
    if (count == 0) {
        prompter.notice(shownName(request.name) + "にはアイコンは存在しません", request.caption);
        return IconExtractResult::NoIcons;
    }
    if (!prompter.ask(shownName(request.name) + "のアイコンを出力フォルダへ抽出しますか?",
                      request.caption)) {
        return IconExtractResult::Cancelled;
    }
    noticeIconFormat(request.formatIndex, prompter, request.caption);
    // Shows the pictures written so far (the list re-read when they went into
    // the display folder, else the current file previewed again) and ends the
    // busy indicator.
    const auto finish = [&] {
        if (request.displayFolder == request.outputFolder) {
            const int current = list.currentIndex();
            list.refresh(current >= 0 && current < list.count() ? list.name(current)
                                                                : std::string{});
        } else {
            preview();
        }
        busy.end();
    };
    busy.begin(count);
    try {
        const std::string stem = iconStem(request.outputFolder, request.name);
        const bool known = !iconFormatExtension(request.formatIndex).empty();
        for (int i = 0; i < count; ++i) {
            const IconImage icon = source.icon(i, kLargeIconSize);
            if (known) {
                overwriteFile(
                    iconPictureName(stem, i, request.formatIndex),
                    encodeIconPicture(icon, static_cast<IconFormat>(request.formatIndex)));
            }
            busy.step();
        }
    } catch (...) {
        // A picture that cannot be written ends the loop; the window does not
        // stay busy (progress bar and wait cursor) behind the reported error.
        finish();
        throw;
    }
    finish();
    return IconExtractResult::Written;
}

} // namespace harpoly
