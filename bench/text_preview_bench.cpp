// The text pane on a 100 MB log file, in a pane of 1250 x 1000 pixels: the
// first screen (from the preview's load to the pane painted once), and the
// whole file loaded in steps, with the longest turn of the event loop meanwhile
// and the peak memory. Reference: cat reading the whole file, what
// any complete load must at least pay. Usage: text_preview_bench [ROOT];
// the file is made under /tmp when ROOT/big/log100mb.txt is missing.
#include "bench_timing.h"
#include "ui/browse/text_pane.h"

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

using bench::exists;
using bench::timeMs;

void writeLog(const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    std::size_t written = 0;
    for (int i = 0; written < 100'000'000; ++i) {
        const std::string line =
            "2026-12-11 01:11:14.123 INFO  [worker-" + std::to_string(i % 8) + "] 要求 " +
            std::to_string(i) +
            " を処理しました (status=200, bytes=" + std::to_string(i * 7 % 9973) + ")\n";
        out << line;
        written += line.size();
    }
}

} // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    QApplication app(argc, argv);
    const std::string root = argc > 1 ? argv[1] : "/work/corpus";
    std::string path = root + "/big/log100mb.txt";
    if (!exists(path)) {
        path = "/tmp/harpoly_bench_log100mb.txt";
        if (!exists(path)) {
            writeLog(path);
        }
    }
    harpoly::ui::TextPane pane;
    pane.resize(1250, 1000);
    pane.show();
    const std::string cat = "cat '" + path + "' > /dev/null";

    // Best of 5 each, taking turns so that a busy moment weighs on both.
    double firstScreen = 1e30;
    double reference = 1e30;
    bool failed = false;
    for (int i = 0; i < 5; ++i) {
        firstScreen = std::min(firstScreen, timeMs([&] {
                                   pane.load(path);
                                   pane.repaint();
                               }));
        pane.clear();
        reference = std::min(reference, timeMs([&] { failed |= std::system(cat.c_str()) != 0; }));
    }
    int loaded = 0;
    QObject::connect(&pane, &harpoly::ui::TextPane::loaded, [&] { ++loaded; });
    QElapsedTimer whole;
    whole.start();
    pane.load(path);
    double longestTurn = 0; // the longest the event loop waited on the loading
    while (pane.loading()) {
        longestTurn = std::max(longestTurn, timeMs([] { QCoreApplication::processEvents(); }));
    }
    const double wholeMs = static_cast<double>(whole.elapsed());
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    if (failed || loaded != 1) {
        std::printf("the reference or the load failed\n");
        return 1;
    }
    // workload, harpoly ms, reference ms, ratio
    std::printf("text pane first screen of a 100 MB log vs cat of the whole file, "
                "%.2f, %.2f, %.2f\n",
                firstScreen, reference, firstScreen / reference);
    std::printf("text pane whole 100 MB log in steps vs cat of the whole file, "
                "%.2f, %.2f, %.2f\n",
                wholeMs, reference, wholeMs / reference);
    std::printf("longest turn of the event loop while loading: %.1f ms; peak memory %ld MB\n",
                longestTurn, usage.ru_maxrss / 1024);
    return 0;
}
