// Expanding a folder of 20,000 sub-folders in the folder tree, against
// `ls -d DIR/*/` listing the same folders. Prints one line per figure:
// workload, harpoly ms, reference ms, ratio.
#include "bench_timing.h"
#include "core/folders/directory_outline.h"
#include "core/folders/folder_reader.h"
#include "core/platform/volumes.h"
#include "ui/folders/folder_tree_model.h"

#include <QApplication>
#include <QTreeView>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int folderCount = 20000;
constexpr int runs = 5;
const std::string benchRoot = "/tmp/harpoly-folder-bench";
const std::string bigFolder = benchRoot + "/big";

void makeFolders() {
    fs::create_directories(bigFolder);
    const auto present = std::distance(fs::directory_iterator(bigFolder), fs::directory_iterator());
    if (present == folderCount) {
        return;
    }
    for (int i = 0; i < folderCount; ++i) {
        // Mixed letter case so that the case-blind sort has work to do.
        char name[32];
        std::snprintf(name, sizeof name, "%s%05d", (i % 3 == 0) ? "Folder" : "folder",
                      i * 7919 % folderCount);
        fs::create_directory(bigFolder + "/" + name);
    }
}

void report(const char* workload, double harpoly, double reference) {
    std::printf("%s, %.1f, %.1f, %.2f\n", workload, harpoly, reference, harpoly / reference);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    makeFolders();

    const std::string lsCommand = "ls -d " + bigFolder + "/*/ > /dev/null";
    const double reference = bench::bestOf(runs, [&] {
        if (std::system(lsCommand.c_str()) != 0) {
            std::fprintf(stderr, "ls failed\n");
        }
    });

    harpoly::SystemFolderReader reader;
    harpoly::VolumeFolders folders;
    const std::vector<std::string> volumes = {"/", benchRoot};

    const double core = bench::bestOf(runs, [&] {
        harpoly::DirectoryOutline outline(reader, folders, volumes, benchRoot);
        outline.expand(2); // "big", the only sub-folder of the root item
        if (outline.count() != folderCount + 2) {
            std::fprintf(stderr, "unexpected count %d\n", outline.count());
        }
    });
    report("expand 20000 sub-folders, core outline model", core, reference);

    const double view = bench::bestOf(runs, [&] {
        harpoly::DirectoryOutline outline(reader, folders, volumes, benchRoot);
        harpoly::ui::FolderTreeModel model(outline);
        QTreeView tree;
        tree.setUniformRowHeights(true);
        tree.setHeaderHidden(true);
        tree.resize(286, 431);
        tree.setModel(&model);
        tree.expand(model.index(0, 0));
        tree.show();
        QApplication::processEvents();
        const QModelIndex big = model.index(0, 0, model.index(0, 0));
        tree.expand(big);
        tree.scrollTo(model.index(folderCount - 1, 0, big));
        QApplication::processEvents();
        if (model.rowCount(big) != folderCount) {
            std::fprintf(stderr, "unexpected rows %d\n", model.rowCount(big));
        }
    });
    report("expand 20000 sub-folders, tree view offscreen (incl. window)", view, reference);
    return 0;
}
