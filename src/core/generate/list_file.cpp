#include "core/generate/list_file.h"

#include "core/app/ui_ports.h"
#include "core/browse/file_list_port.h"
#include "core/generate/ext_settings.h"
#include "core/generate/list_format.h"
#include "core/platform/shown_name.h"
#include "core/platform/whole_file.h"

#include <sys/stat.h>

namespace harpoly {

namespace {

const char* const kNothingListed = "対象ファイルはありませんでした";
const char* const kOverwriteQuestion = "同一名ファイルが存在しますが上書きしますか";
const char* const kOverwriteCaption = "上書き確認";

bool fileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

std::string currentName(const FileListPort& list) {
    const int current = list.currentIndex();
    return current >= 0 && current < list.count() ? list.name(current) : std::string{};
}

} // namespace

std::string listFileName(const std::string& typedName, int kindIndex) {
    const std::string base = typedName.empty() ? "index" : typedName;
    return base + listFormat(listKindFromIndex(kindIndex)).extension;
}

ListFileResult makeListFile(const ListFileRequest& request, FileListPort& list, Prompter& prompter,
                            const std::function<void()>& preview) {
    const ListKind kind = listKindFromIndex(request.kindIndex);
    const ListFormat& format = listFormat(kind);
    const std::string fileName = listFileName(request.typedName, request.kindIndex);

    std::vector<std::string> extensions;
    if (format.extKey != nullptr) {
        extensions = readExtList(request.settingsPath, format.extKey);
    }
    std::vector<std::string> names;
    for (int i = 0; i < list.count(); ++i) {
        names.push_back(list.name(i));
    }
    const std::vector<std::string> lines = buildListLines(kind, names, extensions);

    if (lines.size() <= 3) {
        prompter.notice(kNothingListed, request.caption);
        preview();
        return ListFileResult::NothingListed;
    }
    if (!prompter.ask(request.kindText + "を作成ますか? (ファイル名:" + shownName(fileName) + ")",
                      request.caption)) {
        preview();
        return ListFileResult::Cancelled;
    }
    const std::string path = request.displayFolder + fileName;
    if (fileExists(path) && !prompter.ask(kOverwriteQuestion, kOverwriteCaption)) {
        preview();
        return ListFileResult::Cancelled;
    }
    const std::string text = joinCrLf(lines);
    overwriteFile(path, std::string_view(text));
    list.refresh(currentName(list));
    return ListFileResult::Written;
}

} // namespace harpoly
