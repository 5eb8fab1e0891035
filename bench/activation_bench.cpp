// The first activation of the main window on a 100,000-file folder: the list
// `FL` filled and the first file previewed, against the core's refresh of the
// same folder alone, in the same run. Usage: activation_bench [CORPUS_ROOT]
// (default /work/corpus; the folder is CORPUS_ROOT/list). Runs offscreen.
#include "core/browse/file_list_model.h"
#include "core/settings/settings.h"
#include "ui/app/harpoly_application.h"
#include "ui/app/panel_bar.h"
#include "ui/app/program_windows.h"

#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sys/stat.h>
#include <vector>

using namespace harpoly;
using namespace harpoly::ui;

namespace {

template <typename F> double medianOf5(F&& run) {
    std::vector<double> times;
    for (int i = 0; i < 5; ++i) {
        const auto start = std::chrono::steady_clock::now();
        run();
        const auto stop = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[2];
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const std::string root = argc > 1 ? argv[1] : "/work/corpus";
    const std::string folder = root + "/list/";
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        std::fprintf(stderr, "usage: %s CORPUS_ROOT (no folder %s)\n", argv[0], folder.c_str());
        return 2;
    }
    int qtArgc = 1;
    HarpolyApplication app(qtArgc, argv);

    // The reference: the core list re-reading and sorting the folder alone.
    FileListModel core;
    core.setFolder(folder);
    const double reference = medianOf5([&] { core.refresh({}); });

    // The window, with its settings in a temporary program folder.
    QTemporaryDir programDir;
    const std::string program = programDir.path().toStdString() + "/";
    {
        std::ofstream ini(program + "harpoly.ini", std::ios::binary);
        for (const char* line : kSeedSettingsLines) {
            ini << line << "\r\n";
        }
        ini << "[Set]\r\nDir=" << folder << "\r\n";
    }
    ProgramWindows windows(MainWindowPaths{program, program, program + "harpoly.ini"}, &app);
    MainWindow& ta = windows.main();
    ta.show();
    QCoreApplication::processEvents();

    // Each run is an activation as the first one: list filled from the
    // folder, view reset and laid out, first file previewed.
    const double ours = medianOf5([&] {
        runReported([&] { ta.refreshOnActivation(); });
        QCoreApplication::processEvents();
    });
    std::printf("first activation, %d files listed and %s previewed (%s) vs core refresh alone, "
                "%.1f, %.1f, %.2f\n",
                ta.fileList().count(), ta.currentEntryName().c_str(),
                ta.findChild<PanelBar*>(QStringLiteral("SF"))->text(1).toStdString().c_str(), ours,
                reference, ours / reference);
    return 0;
}
