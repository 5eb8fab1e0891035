// What a user feels when stepping through big photos in full screen: the real
// windows, offscreen on a 1920 x 1080 screen, over a folder of generated
// 6000 x 4000 JPEGs, with key presses queued from another thread at the
// moments a hand would make them (as the display server queues them while the
// window is busy). Three workloads: one press when idle (the next picture read
// ahead), presses 50 ms apart, the key held for 3 s (a press every 50 ms).
// Each reports the time from the last press to the last picture painted, the
// longest time the window thread did not answer, and the peak memory of the
// process during it. Reference in the same run: a plain libjpeg decode of one
// such file at full size, as djpeg does.
// Usage: stepping_bench [ROOT] (ROOT is ignored: the pictures are generated).
#include "bench_ports.h"
#include "core/settings/settings.h"
#include "ui/app/harpoly_application.h"
#include "ui/app/main_window.h"
#include "ui/app/panel_bar.h"
#include "ui/app/program_windows.h"
#include "ui/browse/image_pane.h"
#include "ui/browse/picture_reader.h"
#include "ui/fullscreen/full_screen_window.h"

#include <QElapsedTimer>
#include <QInputDevice>
#include <QKeyEvent>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include <jpeglib.h>

using namespace harpoly;
using namespace harpoly::ui;

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;
constexpr int kDistinctPictures = 6;
constexpr int kEntries = 80; // more than the held key passes over
constexpr int kPressGapMs = 50;

using SteadyClock = std::chrono::steady_clock;

double msBetween(SteadyClock::time_point from, SteadyClock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// A photo-like picture: smooth shapes under fine noise, so that it costs
// what a camera's picture costs to decode. Written by libjpeg at quality 90.
bool writePhoto(const std::string& path, unsigned seed) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) {
        return false;
    }
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, out);
    cinfo.image_width = kWidth;
    cinfo.image_height = kHeight;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 90, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    std::mt19937 noise(seed);
    std::vector<unsigned char> row(kWidth * 3);
    const double phase = seed * 0.7;
    while (cinfo.next_scanline < cinfo.image_height) {
        const int y = static_cast<int>(cinfo.next_scanline);
        for (int x = 0; x < kWidth; ++x) {
            const double fx = x / 600.0 + phase;
            const double fy = y / 450.0 - phase;
            const int n = static_cast<int>(noise() % 24) - 12;
            const auto channel = [&](double v) {
                return static_cast<unsigned char>(std::clamp(static_cast<int>(v) + n, 0, 255));
            };
            row[x * 3] = channel(128 + 100 * std::sin(fx + std::cos(fy)));
            row[x * 3 + 1] = channel(128 + 90 * std::sin(fy * 1.3 + fx * 0.4));
            row[x * 3 + 2] = channel(128 + 80 * std::cos(fx * 0.8 - fy));
        }
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&cinfo, &r, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return std::fclose(out) == 0;
}

// The pictures, made in child processes so that their buffers never count
// in this process's memory, in `sources`; the entries of `folder` are links
// to them.
bool makeFolder(const std::string& sources, const std::string& folder) {
    std::vector<pid_t> children;
    for (int i = 0; i < kDistinctPictures; ++i) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            _exit(writePhoto(sources + std::to_string(i) + ".jpg", i + 1) ? 0 : 1);
        }
        children.push_back(pid);
    }
    bool ok = true;
    for (const pid_t pid : children) {
        int status = 0;
        ok &= ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    for (int i = 0; ok && i < kEntries; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "photo%03d.jpg", i);
        const std::string source = sources + std::to_string(i % kDistinctPictures) + ".jpg";
        ok &= ::link(source.c_str(), (folder + name).c_str()) == 0;
    }
    return ok;
}

// Peak resident memory of this process since the last reset, in MiB.
void resetPeakMemory() {
    std::ofstream("/proc/self/clear_refs") << "5";
}
double peakMemoryMiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::atof(line.c_str() + 6) / 1024.0;
        }
    }
    return 0;
}

std::string loadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string one, five, fifteen;
    in >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

double plainLibjpegDecodeMs(const std::string& path) {
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (in == nullptr) {
        return -1;
    }
    const auto start = SteadyClock::now();
    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, in);
    jpeg_read_header(&cinfo, TRUE);
    jpeg_start_decompress(&cinfo);
    std::vector<unsigned char> picture(static_cast<std::size_t>(cinfo.output_width) *
                                       cinfo.output_height * cinfo.output_components);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = picture.data() + static_cast<std::size_t>(cinfo.output_scanline) *
                                            cinfo.output_width * cinfo.output_components;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    const double took = msBetween(start, SteadyClock::now());
    std::fclose(in);
    return took;
}

// Handles the window thread's events as its own loop does: sleeping until
// one comes (the watch's 5 ms timer brings one at least that often), never
// spinning on a core that the decodes need.
void waitForEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

// The running program, watched: every picture painted, and the longest time
// the window thread did not answer a 5 ms timer.
class Watch : public QObject {
public:
    Watch(MainWindow& main, FullScreenWindow& full) : main_(main), full_(full) {
        auto* pane = main.findChild<ImagePane*>(QStringLiteral("IMG"));
        connect(pane, &ImagePane::pictureDrawn, this, [this] {
            lastPaint_ = SteadyClock::now();
            lastPaintName_ = full_.statusText(0).toStdString();
            ++paints_;
        });
        ticker_.setInterval(5);
        ticker_.setTimerType(Qt::PreciseTimer);
        connect(&ticker_, &QTimer::timeout, this, [this] {
            const auto now = SteadyClock::now();
            longestGap_ = std::max(longestGap_, msBetween(lastTick_, now));
            lastTick_ = now;
        });
        lastTick_ = SteadyClock::now();
        ticker_.start();
    }

    PictureReader& reader() const {
        return *main_.findChild<PictureReader*>(QStringLiteral("pictureReader"));
    }
    std::string currentName() const { return " " + main_.currentEntryName(); }
    bool currentPainted(SteadyClock::time_point after) const {
        return paints_ > 0 && lastPaint_ >= after && lastPaintName_ == currentName();
    }
    // Waits until the current entry's picture is painted after `after` and
    // nothing decodes any more.
    bool settle(SteadyClock::time_point after, int timeoutMs = 30000) {
        QElapsedTimer waited;
        waited.start();
        while (!(currentPainted(after) && reader().decodesInFlight() == 0)) {
            if (waited.elapsed() > timeoutMs) {
                return false;
            }
            waitForEvents();
        }
        return true;
    }
    void resetGaps() {
        lastTick_ = SteadyClock::now();
        longestGap_ = 0;
        paints_ = 0;
    }
    double longestGapMs() const { return longestGap_; }
    int paints() const { return paints_; }
    SteadyClock::time_point lastPaint() const { return lastPaint_; }

private:
    MainWindow& main_;
    FullScreenWindow& full_;
    QTimer ticker_;
    SteadyClock::time_point lastTick_;
    double longestGap_ = 0;
    SteadyClock::time_point lastPaint_;
    std::string lastPaintName_;
    int paints_ = 0;
};

struct Outcome {
    double lastPressToPictureMs = 0;
    double longestGapMs = 0;
    double peakMiB = 0;
    int paints = 0;
    bool ok = false;
};

// `presses` presses of Enter (the next entry), `gapMs` apart, queued from a
// thread of their own at their moments; then waits for the last picture.
Outcome replay(Watch& watch, FullScreenWindow& full, int presses, int gapMs) {
    Outcome outcome;
    resetPeakMemory();
    watch.resetGaps();
    QWidget* target = full.focusWidget() != nullptr ? full.focusWidget() : &full;
    std::atomic<bool> done{false};
    SteadyClock::time_point lastPress;
    std::thread hand([&] {
        auto at = SteadyClock::now();
        for (int i = 0; i < presses; ++i) {
            std::this_thread::sleep_until(at);
            lastPress = SteadyClock::now();
            QCoreApplication::postEvent(target,
                                        new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, {}));
            QCoreApplication::postEvent(target,
                                        new QKeyEvent(QEvent::KeyRelease, Qt::Key_Return, {}));
            at += std::chrono::milliseconds(gapMs);
        }
        done = true;
    });
    while (!done) {
        waitForEvents();
    }
    hand.join();
    const SteadyClock::time_point pressed = lastPress;
    outcome.ok = watch.settle(pressed);
    outcome.lastPressToPictureMs = msBetween(pressed, watch.lastPaint());
    outcome.longestGapMs = watch.longestGapMs();
    outcome.peakMiB = peakMemoryMiB();
    outcome.paints = watch.paints();
    return outcome;
}

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir sourceDir;
    QTemporaryDir pictures;
    const std::string folder = pictures.path().toStdString() + "/";
    if (!makeFolder(sourceDir.path().toStdString() + "/", folder)) {
        std::fprintf(stderr, "cannot make the pictures in %s\n", folder.c_str());
        return 1;
    }
    // A full HD screen for the offscreen platform.
    QTemporaryDir programDir;
    const std::string program = programDir.path().toStdString() + "/";
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        const std::string screen = program + "screen.json";
        std::ofstream(screen) << R"({"screens":[{"name":"bench","x":0,"y":0,"width":1920,)"
                              << R"("height":1080,"logicalDpi":96,"logicalBaseDpi":96,"dpr":1}]})";
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + screen.c_str());
    }
    int qtArgc = 1;
    HarpolyApplication app(qtArgc, argv);
    (void)argc;
    bench::writeSeedSettings(program + "harpoly.ini", folder);
    ProgramWindows windows(MainWindowPaths{program, program, program + "harpoly.ini"}, &app);
    MainWindow& ta = windows.main();
    FullScreenWindow& full = windows.fullScreen();
    ta.show();
    QCoreApplication::processEvents();
    runReported([&] { ta.refreshOnActivation(); });
    // A key event needs the keyboard device, which Qt makes on first use:
    // made here, on the window thread, not on the thread that presses.
    (void)QInputDevice::primaryKeyboard();
    Watch watch(ta, full);
    const auto entered = SteadyClock::now();
    ta.enterFullScreen();
    if (!watch.settle(entered)) {
        std::fprintf(stderr, "the first picture never came\n");
        return 1;
    }
    // The area's resize on entering settles, and the pictures around are read.
    QElapsedTimer quiet;
    quiet.start();
    while (quiet.elapsed() < 1000) {
        waitForEvents();
    }
    watch.settle(entered);
    const QSize screen = full.size();
    const std::string first = full.statusText(1).toStdString();

    // One press when idle: the next picture was read ahead meanwhile.
    std::vector<double> idle;
    double idlePeak = 0;
    for (int i = 0; i < 7; ++i) {
        const Outcome one = replay(watch, full, 1, 0);
        if (!one.ok) {
            std::fprintf(stderr, "a press when idle never showed its picture\n");
            return 1;
        }
        idle.push_back(one.lastPressToPictureMs);
        idlePeak = std::max(idlePeak, one.peakMiB);
    }
    std::sort(idle.begin(), idle.end());
    const Outcome apart = replay(watch, full, 10, kPressGapMs);
    const Outcome held = replay(watch, full, 3000 / kPressGapMs, kPressGapMs);
    const double reference = plainLibjpegDecodeMs(folder + "photo000.jpg");
    if (!apart.ok || !held.ok) {
        std::fprintf(stderr, "the last picture never came\n");
        return 1;
    }

    std::printf("stepping through %d x %d JPEGs in full screen at %d x %d (%s), load %s\n", kWidth,
                kHeight, screen.width(), screen.height(), first.c_str(), loadAverage().c_str());
    std::printf("reference: plain libjpeg full decode of one file, %.1f ms\n", reference);
    std::printf("workload, last press to last picture ms, longest unanswered ms, pictures painted, "
                "peak MiB, ratio to reference\n");
    std::printf("one press when idle (median of %zu; worst %.1f), %.1f, -, 1, %.0f, %.2f\n",
                idle.size(), idle.back(), idle[idle.size() / 2], idlePeak,
                idle[idle.size() / 2] / reference);
    std::printf("10 presses 50 ms apart, %.1f, %.1f, %d, %.0f, %.2f\n", apart.lastPressToPictureMs,
                apart.longestGapMs, apart.paints, apart.peakMiB,
                apart.lastPressToPictureMs / reference);
    std::printf("key held 3 s (60 presses), %.1f, %.1f, %d, %.0f, %.2f\n",
                held.lastPressToPictureMs, held.longestGapMs, held.paints, held.peakMiB,
                held.lastPressToPictureMs / reference);
    return 0;
}
