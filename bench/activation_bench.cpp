// The first activation of the main window on a 100,000-file folder: the list
// `FL` filled and the first file previewed, against the core's refresh of the
// same folder alone, in the same run. Usage: activation_bench [CORPUS_ROOT]
// (default /work/corpus; the folder is CORPUS_ROOT/list). Runs offscreen.
#include "bench_ports.h"
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

template <typename F> double timed(F&& run) {
    const auto start = std::chrono::steady_clock::now();
    run();
    const auto stop = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::milli>(stop - start).count();
}

double median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
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

    // The window, with its settings in a temporary program folder.
    QTemporaryDir programDir;
    const std::string program = programDir.path().toStdString() + "/";
    bench::writeSeedSettings(program + "harpoly.ini", folder);
    ProgramWindows windows(MainWindowPaths{program, program, program + "harpoly.ini"}, &app);
    MainWindow& ta = windows.main();
    ta.show();
    QCoreApplication::processEvents();

    // The reference: the core list re-reading and sorting the folder alone.
    // It runs in turn with the window's activation, in the same state of the
    // process, and both are measured once they are warm: measured alone
    // before the window was built, on a young heap that hands its memory back
    // to the system after every refresh and faults it in again, the
    // reference took longer than the same refresh inside the activation.
    FileListModel core;
    core.setFolder(folder);
    std::vector<double> references;
    std::vector<double> activations;
    constexpr int kWarmUp = 2;
    for (int i = 0; i < kWarmUp + 7; ++i) {
        const double reference = timed([&] { core.refresh({}); });
        // Each run is an activation as the first one: list filled from the
        // folder, view reset and laid out, first file previewed.
        const double activation = timed([&] {
            runReported([&] { ta.refreshOnActivation(); });
            QCoreApplication::processEvents();
        });
        if (i >= kWarmUp) {
            references.push_back(reference);
            activations.push_back(activation);
        }
    }
    const double reference = median(references);
    const double ours = median(activations);
    std::printf(
        "first activation (median of 7, in turn with the reference), %d files listed and %s "
        "previewed (%s) vs core refresh alone, %.1f, %.1f, %.2f\n",
        ta.fileList().count(), ta.currentEntryName().c_str(),
        ta.findChild<PanelBar*>(QStringLiteral("SF"))->text(1).toStdString().c_str(), ours,
        reference, ours / reference);
    return 0;
}
