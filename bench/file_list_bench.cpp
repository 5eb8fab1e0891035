// Times a refresh of the file list (read the folder, filter, sort) against
// ls on the same folder. Argument: the corpus root (its list/ folder is
// used) or a folder to list; default /work/corpus/list.
#include "bench_timing.h"
#include "core/browse/file_list_model.h"
#include "core/platform/code_page.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <sys/stat.h>

namespace {

using bench::bestOf5;

bool isFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string shellQuoted(const std::string& s) {
    std::string out = "'";
    for (const char c : s) {
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return out + "'";
}

} // namespace

int main(int argc, char** argv) {
    std::string folder = "/work/corpus/list";
    if (argc > 1) {
        folder = argv[1];
        if (isFolder(folder + "/list")) {
            folder += "/list";
        }
    }
    if (!isFolder(folder)) {
        std::fprintf(stderr, "usage: %s CORPUS_ROOT_OR_FOLDER (no folder %s)\n", argv[0],
                     folder.c_str());
        return 2;
    }
    if (folder.back() != '/') {
        folder += '/';
    }

    double ls[2];
    const char* lsCommands[2] = {"ls -f", "ls"};
    for (int i = 0; i < 2; ++i) {
        const std::string command =
            std::string(lsCommands[i]) + " " + shellQuoted(folder) + " > /dev/null";
        ls[i] = bestOf5([&] {
            if (std::system(command.c_str()) != 0) {
                std::fprintf(stderr, "failed: %s\n", command.c_str());
            }
        });
    }

    harpoly::FileListModel model(harpoly::systemCodePage());
    model.setFolder(folder);
    for (const char* filter : {"*.*", "*.jpg"}) {
        model.setFilter(filter);
        const double ms = bestOf5([&] { model.refresh({}); });
        for (int i = 0; i < 2; ++i) {
            std::printf("file list refresh %s (%d files listed) vs %s, %.2f, %.2f, %.2f\n", filter,
                        model.count(), lsCommands[i], ms, ls[i], ms / ls[i]);
        }
    }
    return 0;
}
