// The player widget over a fake engine: what the buttons do and in which
// order, where the video surface goes, and how a frame reaches it; and the
// engine of a build without a media library.
#include "core/errors.h"
#include "ui/browse/media_player.h"
#include "ui/browse/playback_engine.h"
#include "ui/browse/refusing_playback_engine.h"

#include <QImage>
#include <QToolButton>
#include <QtTest>

using harpoly::ui::MediaPlayer;
using harpoly::ui::PlaybackEngine;

namespace {

// Plays nothing: records the calls, opens any file with the size it is given.
class FakeEngine : public PlaybackEngine {
public:
    struct Record {
        QStringList calls;
        std::function<void()> frameHandler;
        QSize video{320, 240};
        QRgb frameColour = qRgb(200, 30, 30);
    };
    explicit FakeEngine(Record& record) : r_(record) {}

    void open(const std::string& path) override {
        r_.calls << "open " + QString::fromStdString(path);
        open_ = true;
    }
    void close() override {
        r_.calls << "close";
        open_ = false;
    }
    bool isOpen() const override { return open_; }
    void play() override { r_.calls << "play"; }
    void stop() override { r_.calls << "stop"; }
    void seek(std::int64_t ms) override { r_.calls << QString("seek %1").arg(ms); }
    std::int64_t length() const override { return open_ ? 5000 : 0; }
    std::int64_t position() const override { return 0; }
    bool isPlaying() const override { return false; }
    bool atEnd() const override { return false; }
    QSize videoSize() const override { return open_ ? r_.video : QSize(0, 0); }
    void setFrameHandler(std::function<void()> handler) override {
        r_.frameHandler = std::move(handler);
    }
    void setFrameSize(QSize size) override { frameSize_ = size; }
    QImage frame() const override {
        QImage image(frameSize_, QImage::Format_RGB32);
        image.fill(r_.frameColour);
        return image;
    }

private:
    Record& r_;
    bool open_ = false;
    QSize frameSize_;
};

// A shown 400 by 300 panel with a player on it, drawing its video on the
// panel at `rect` (or on nothing, without `onDisplay`).
struct OnPanel {
    QWidget panel;
    MediaPlayer player;
    OnPanel(FakeEngine::Record& record, const QRect& rect, bool onDisplay = true)
        : player(&panel, std::make_unique<FakeEngine>(record)) {
        panel.resize(400, 300);
        if (onDisplay) {
            player.setDisplay(&panel);
        }
        player.setDisplayRect(rect);
        // A hidden widget is told of its new size only once shown.
        panel.show();
    }
};

} // namespace

class PlayerWidgetTest : public QObject {
    Q_OBJECT
private slots:
    void buttonsReportBeforeTheEngineActs() {
        FakeEngine::Record record;
        MediaPlayer player(nullptr, std::make_unique<FakeEngine>(record));
        player.open("/m/clip.mpg");
        record.calls.clear();
        connect(&player, &MediaPlayer::clicked, this, [&](MediaPlayer::Button b) {
            record.calls << QString("clicked %1").arg(static_cast<int>(b));
        });
        for (auto b :
             {MediaPlayer::Button::Play, MediaPlayer::Button::Stop, MediaPlayer::Button::Back}) {
            player.button(b)->click();
        }
        QCOMPARE(record.calls,
                 (QStringList{"clicked 0", "play", "clicked 1", "stop", "clicked 2", "seek 0"}));
    }

    void theSurfaceShowsOnlyVideoOnTheDisplay_data() {
        QTest::addColumn<QSize>("video");
        QTest::addColumn<bool>("onDisplay");
        QTest::addColumn<bool>("shown");
        QTest::newRow("video on the display") << QSize(320, 240) << true << true;
        QTest::newRow("sound only") << QSize(0, 0) << true << false;
        QTest::newRow("no display") << QSize(320, 240) << false << false;
    }
    void theSurfaceShowsOnlyVideoOnTheDisplay() {
        QFETCH(QSize, video);
        QFETCH(bool, onDisplay);
        QFETCH(bool, shown);
        FakeEngine::Record record;
        record.video = video;
        OnPanel p(record, QRect(10, 40, 320, 240), onDisplay);
        p.player.open("a.mpg");
        QCOMPARE(p.player.displaySurface()->isVisible(), shown);
        p.player.close();
        QVERIFY(!p.player.displaySurface()->isVisible());
        QCOMPARE(record.calls.last(), QStringLiteral("close"));
    }

    void fillingTheDisplayFollowsItsSize() {
        FakeEngine::Record record;
        OnPanel p(record, QRect(10, 40, 320, 240));
        QCOMPARE(p.player.displayRect(), QRect(10, 40, 320, 240));
        p.player.setFillDisplay(true);
        QCOMPARE(p.player.displayRect(), p.panel.rect());
        p.panel.resize(600, 500);
        QCOMPARE(p.player.displayRect(), QRect(0, 0, 600, 500));
        p.player.setFillDisplay(false);
        QCOMPARE(p.player.displayRect(), QRect(10, 40, 320, 240));
    }

    void aFrameEventDrawsTheEnginesFrame() {
        FakeEngine::Record record;
        OnPanel p(record, QRect(10, 40, 64, 48));
        p.player.open("a.mpg");
        const auto centre = [&] {
            const QImage shown = p.player.displaySurface()->grab().toImage();
            return shown.pixel(32, 24) & 0xFFFFFF;
        };
        QCOMPARE(centre(), 0u); // black until a frame comes
        QVERIFY(record.frameHandler);
        record.frameHandler();
        QCOMPARE(centre(), record.frameColour & 0xFFFFFF);
    }

    void theRefusingEngineRefusesEveryFile() {
        harpoly::ui::RefusingPlaybackEngine engine;
        try {
            engine.open("/m/clip.mpg");
            QFAIL("the file was not refused");
        } catch (const harpoly::Error& e) {
            QCOMPARE(QString::fromStdString(e.kind()), QStringLiteral("EMCIDeviceError"));
        }
        QVERIFY(!engine.isOpen());
        engine.play();
        engine.seek(1000);
        QCOMPARE(engine.position(), 0);
        QCOMPARE(engine.length(), 0);
        QCOMPARE(engine.videoSize(), QSize(0, 0));
    }
};

QTEST_MAIN(PlayerWidgetTest)
#include "player_widget_test.moc"
