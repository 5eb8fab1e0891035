// While a video plays, the window thread's event loop is free for everything
// else: a client on a socket of the program's own (as a screen reader on the
// accessibility bus is) gets its answers as fast as when nothing plays.
#include "media_fixtures.h"
#include "window_rig.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QSocketNotifier>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

using Windows = harpoly::test::StartedWindows;
using harpoly::ui::MediaPlayer;
namespace t = harpoly::test;

namespace {

constexpr int kWait = 15000;
// A screen reader asks one thing after another, each answer before the next
// question: the time for a round of them is what its user waits.
constexpr int kRequestsARound = 10;

// A client thread that sends rounds of one-byte requests over a socket pair;
// the window thread's notifier answers each with one byte.
class SocketClient {
public:
    SocketClient() {
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds_) != 0) {
            fds_[0] = fds_[1] = -1;
            return;
        }
        notifier_ = std::make_unique<QSocketNotifier>(fds_[0], QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
            char byte = 0;
            if (::read(fds_[0], &byte, 1) == 1) {
                (void)::write(fds_[0], &byte, 1);
            }
        });
        client_ = std::thread([this] { run(); });
    }
    ~SocketClient() {
        done_ = true;
        if (client_.joinable()) {
            client_.join();
        }
        notifier_.reset();
        for (const int fd : fds_) {
            if (fd >= 0) {
                ::close(fd);
            }
        }
    }
    bool valid() const { return fds_[0] >= 0; }

    // What the rounds since the last call took: the median round and the
    // slowest single request, in milliseconds, and how many rounds there were.
    struct Figures {
        int rounds = 0;
        double medianRoundMs = 0;
        double slowestRequestMs = 0;
    };
    Figures take() {
        const std::lock_guard lock(mutex_);
        Figures f;
        f.rounds = static_cast<int>(rounds_.size());
        if (!rounds_.empty()) {
            std::sort(rounds_.begin(), rounds_.end());
            f.medianRoundMs = rounds_[rounds_.size() / 2];
        }
        f.slowestRequestMs = slowestRequest_;
        rounds_.clear();
        slowestRequest_ = 0;
        return f;
    }

private:
    // False when no answer came within a second.
    bool ask() {
        char byte = 'x';
        if (::write(fds_[1], &byte, 1) != 1) {
            return false;
        }
        pollfd answer{fds_[1], POLLIN, 0};
        return ::poll(&answer, 1, 1000) == 1 && ::read(fds_[1], &byte, 1) == 1;
    }
    void run() {
        using clock = std::chrono::steady_clock;
        const auto ms = [](clock::duration d) {
            return std::chrono::duration<double, std::milli>(d).count();
        };
        while (!done_) {
            const auto roundStart = clock::now();
            double slowest = 0;
            for (int i = 0; i < kRequestsARound && !done_; ++i) {
                const auto start = clock::now();
                slowest = std::max(slowest, ask() ? ms(clock::now() - start) : 1000.0);
            }
            {
                const std::lock_guard lock(mutex_);
                rounds_.push_back(ms(clock::now() - roundStart));
                slowestRequest_ = std::max(slowestRequest_, slowest);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

    int fds_[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier_;
    std::atomic<bool> done_{false};
    std::mutex mutex_;
    std::vector<double> rounds_;
    double slowestRequest_ = 0;
    std::thread client_;
};

// Runs the window thread's event loop for `ms`, as the program's own loop runs
// (QTest::qWait sleeps between its rounds of events, which would slow every
// answer down by itself).
void runEventLoop(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Counts the paint events of a widget.
struct PaintCounter : QObject {
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        count += event->type() == QEvent::Paint;
        return false;
    }
};

} // namespace

class PlayingLoopTest : public QObject {
    Q_OBJECT

private slots:
    void aSocketIsServedWhileAVideoPlays_data() {
        QTest::addColumn<bool>("fullScreen");
        QTest::newRow("main window") << false;
        QTest::newRow("full screen") << true;
    }
    void aSocketIsServedWhileAVideoPlays() {
        QFETCH(bool, fullScreen);
        Windows w([](const QString& folder) {
            QVERIFY(t::ffmpeg({"-f", "lavfi", "-i", "testsrc=size=640x480:rate=30:duration=8",
                               "-c:v", "mpeg4", folder + "/film.avi"}));
        });
        if (fullScreen) {
            w.BF->click();
            QTRY_VERIFY_WITH_TIMEOUT(w.MPC->isPlaying(), kWait);
            w.MPC->press(MediaPlayer::Button::Stop);
        }
        QVERIFY(w.MPC->isOpen());
        QVERIFY(!w.MPC->isPlaying());
        SocketClient client;
        QVERIFY(client.valid());

        // The same client, first while the video stands still, then while it
        // plays.
        runEventLoop(1000);
        const SocketClient::Figures still = client.take();
        PaintCounter frames;
        w.MPC->displaySurface()->installEventFilter(&frames);
        w.MPC->press(MediaPlayer::Button::Play);
        QTRY_VERIFY_WITH_TIMEOUT(w.MPC->position() > 200, kWait);
        client.take();
        runEventLoop(2000);
        const SocketClient::Figures playing = client.take();
        w.MPC->displaySurface()->removeEventFilter(&frames);
        QVERIFY(w.MPC->isPlaying());

        qInfo("rounds of %d requests: median %.1f ms still, %.1f ms playing (%d rounds); "
              "slowest request %.1f ms playing; %d frames painted",
              kRequestsARound, still.medianRoundMs, playing.medianRoundMs, playing.rounds,
              playing.slowestRequestMs, frames.count);
        QVERIFY(frames.count >= 10);
        QVERIFY(still.rounds >= 3 && playing.rounds >= 5);
        QVERIFY2(playing.slowestRequestMs < 100, "a request waited for the video");
        // Drawing frames on the window thread made requests wait for the
        // frame on its way (up to 30 ms each at 30 frames a second): a round
        // took twice as long as with the video standing still.
        QVERIFY2(playing.medianRoundMs < still.medianRoundMs + 40,
                 "requests wait longer while the video plays");
    }
};

HARPOLY_WINDOW_TEST_MAIN(PlayingLoopTest)
#include "playing_loop_test.moc"
