#include "core/browse/media_text.h"
#include "core/browse/preview.h"
#include "core/errors.h"
#include "media_fixtures.h"
#include "ui/browse/media_player.h"

#include <QFile>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

using harpoly::ui::MediaPlayer;
namespace t = harpoly::test;

namespace {
constexpr int kWait = 15000; // generous: the machine is shared
} // namespace

class MediaPlayerTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }
    std::string bytes(const char* name) const {
        return QFile::encodeName(path(name)).toStdString();
    }

    // Waits until the position has moved past `ms` while playing.
    static bool playsPast(MediaPlayer& p, std::int64_t ms) {
        return QTest::qWaitFor([&] { return p.position() > ms; }, kWait);
    }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        QVERIFY(t::makeMpg(path("long.mpg"), 65.432));
        QVERIFY(t::makeMpg(path("clip.mpg"), 4));
        QVERIFY(t::makeMpg(path("short.mpg"), 0.5));
        QVERIFY(t::makeWmv(path("clip.wmv"), 2));
        QVERIFY(t::makeAvi(path("clip.avi"), 2));
        QVERIFY(t::makeWav(path("tone.wav"), 2));
        QVERIFY(t::makeOgg(path("tone.ogg"), 2));
        QVERIFY(t::writeBytes(path("noise.avi"), t::randomBytes(64 * 1024, 7)));
        QVERIFY(t::writeBytes(path("empty.avi"), {}));
        QVERIFY(t::makeEmptyWav(path("empty.wav")));
        QVERIFY(t::truncateCopy(path("clip.avi"), path("cut.avi"), 0.4));
        QVERIFY(t::truncateCopy(path("clip.mpg"), path("cut.mpg"), 0.3));
        QVERIFY(t::ffmpeg(t::testVideo(1) +
                          QStringList{"-frames:v", "0", "-c:v", "mpeg4", path("noframes.avi")}));
    }

    void opensWithLengthAndSize_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QString>("time");
        QTest::newRow("mpg") << "long.mpg" << QSize(320, 240) << "01:05";
        QTest::newRow("wmv") << "clip.wmv" << QSize(320, 240) << "00:02";
        QTest::newRow("avi") << "clip.avi" << QSize(320, 240) << "00:02";
        QTest::newRow("wav") << "tone.wav" << QSize(0, 0) << "00:02";
        QTest::newRow("ogg") << "tone.ogg" << QSize(0, 0) << "00:02";
    }
    void opensWithLengthAndSize() {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        QFETCH(QString, time);
        MediaPlayer p;
        p.open(bytes(name.toLatin1().constData()));
        QVERIFY(p.isOpen());
        QCOMPARE(p.videoSize(), size);
        QCOMPARE(QString::fromStdString(harpoly::playTimeText(p.length())), time);
        QCOMPARE(p.position(), 0);
        QVERIFY(!p.isPlaying());
        p.close();
        QVERIFY(!p.isOpen());
        QCOMPARE(p.length(), 0);
    }

    void shorterThanASecondGivesRangeZero() {
        MediaPlayer p;
        p.open(bytes("short.mpg"));
        QVERIFY(p.length() > 0 && p.length() < 1000);
        QCOMPARE(harpoly::sliderMaximum(p.length()), 0);
    }

    void stopKeepsThePositionAndPlayResumes() {
        MediaPlayer p;
        p.open(bytes("clip.mpg"));
        p.play();
        QVERIFY(p.isPlaying());
        QVERIFY(playsPast(p, 600));
        p.stop();
        QVERIFY(!p.isPlaying());
        const auto stoppedAt = p.position();
        QVERIFY(stoppedAt >= 600);
        p.play();
        // The first positions after play are at or after the stop, never back at 0.
        QVERIFY(p.position() >= stoppedAt - 50);
        QVERIFY(playsPast(p, stoppedAt + 300));
    }

    void backThenPlayStartsAtZero() {
        MediaPlayer p;
        p.open(bytes("clip.mpg"));
        p.play();
        QVERIFY(playsPast(p, 1200));
        p.back();
        QVERIFY(!p.isPlaying());
        QCOMPARE(p.position(), 0);
        p.play();
        QVERIFY(p.position() < 1000);
        QVERIFY(playsPast(p, 200));
    }

    void seekStopsThere() {
        MediaPlayer p;
        p.open(bytes("long.mpg"));
        p.play();
        QVERIFY(playsPast(p, 100));
        p.seek(30000);
        QVERIFY(!p.isPlaying());
        QCOMPARE(p.position(), 30000);
        // Once the engine has arrived, it stands still at that second.
        QVERIFY(
            QTest::qWaitFor([&] { return p.position() / 1000 == 30 && !p.isPlaying(); }, kWait));
        QTRY_COMPARE_WITH_TIMEOUT(p.position() / 1000, 30, 1000);
        p.play();
        QVERIFY(playsPast(p, 30300));
    }

    void theEndStopsAtTheLengthAndPlayStartsOver() {
        MediaPlayer p;
        p.open(bytes("short.mpg"));
        p.play();
        QVERIFY(QTest::qWaitFor([&] { return p.atEnd(); }, kWait));
        QCOMPARE(p.position(), p.length());
        QVERIFY(!p.isPlaying());
        p.play();
        QVERIFY(p.position() < p.length());
        QVERIFY(QTest::qWaitFor([&] { return p.atEnd(); }, kWait));
    }

    void buttonsReportBeforeActing() {
        MediaPlayer p;
        p.open(bytes("clip.mpg"));
        QList<MediaPlayer::Button> seen;
        bool playingWhenPlayReported = true;
        connect(&p, &MediaPlayer::clicked, this, [&](MediaPlayer::Button b) {
            seen << b;
            if (b == MediaPlayer::Button::Play) {
                playingWhenPlayReported = p.isPlaying();
            }
        });
        p.button(MediaPlayer::Button::Play)->click();
        QVERIFY(!playingWhenPlayReported);
        QVERIFY(p.isPlaying());
        p.button(MediaPlayer::Button::Stop)->click();
        QVERIFY(!p.isPlaying());
        p.button(MediaPlayer::Button::Back)->click();
        QCOMPARE(p.position(), 0);
        QCOMPARE(seen,
                 (QList<MediaPlayer::Button>{MediaPlayer::Button::Play, MediaPlayer::Button::Stop,
                                             MediaPlayer::Button::Back}));
    }

    void videoIsDrawnIntoTheDisplay() {
        QWidget panel;
        panel.resize(400, 300);
        MediaPlayer p(&panel);
        p.setDisplay(&panel);
        p.setDisplayRect(QRect(10, 40, 320, 240));
        panel.show();
        p.open(bytes("clip.mpg"));
        QVERIFY(p.displaySurface()->isVisible());
        QCOMPARE(p.displaySurface()->geometry(), QRect(10, 40, 320, 240));
        p.play();
        // testsrc has coloured bars; some pixel of the surface stops being black.
        QVERIFY(QTest::qWaitFor(
            [&] {
                const QImage img = p.displaySurface()->grab().toImage();
                for (int x = 0; x < img.width(); x += 8) {
                    if ((img.pixel(x, img.height() / 3) & 0xFFFFFF) != 0) {
                        return true;
                    }
                }
                return false;
            },
            kWait));
        // Sound only: no picture, no surface.
        p.open(bytes("tone.wav"));
        QVERIFY(!p.displaySurface()->isVisible());
    }

    void refusedFilesRaiseTheMediaError_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("random bytes") << "noise.avi";
        QTest::newRow("empty file") << "empty.avi";
        QTest::newRow("missing file") << "gone.mpg";
    }
    void refusedFilesRaiseTheMediaError() {
        QFETCH(QString, name);
        MediaPlayer p;
        p.open(bytes("clip.mpg")); // a file open before is closed either way
        try {
            p.open(bytes(name.toLatin1().constData()));
            QFAIL("open did not refuse the file");
        } catch (const harpoly::Error& e) {
            QCOMPARE(QString::fromStdString(e.kind()), QStringLiteral("EMCIDeviceError"));
        }
        QVERIFY(!p.isOpen());
        QCOMPARE(p.length(), 0);
        p.play(); // harmless with nothing open
        p.seek(1000);
        QCOMPARE(p.position(), 0);
        // The player still works afterwards.
        p.open(bytes("clip.wmv"));
        QVERIFY(p.isOpen());
    }

    // Damaged or empty media either refuse to open or play to a quiet stop.
    void damagedMediaEndQuietly_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("truncated avi") << "cut.avi";
        QTest::newRow("truncated mpg") << "cut.mpg";
        QTest::newRow("video of no frame") << "noframes.avi";
        QTest::newRow("sound of no sample") << "empty.wav";
    }
    void damagedMediaEndQuietly() {
        QFETCH(QString, name);
        MediaPlayer p;
        try {
            p.open(bytes(name.toLatin1().constData()));
        } catch (const harpoly::Error& e) {
            QCOMPARE(QString::fromStdString(e.kind()), QStringLiteral("EMCIDeviceError"));
            return;
        }
        p.play();
        QVERIFY(QTest::qWaitFor([&] { return !p.isPlaying(); }, kWait));
        QVERIFY(p.position() >= 0 && p.position() <= p.length());
        p.back();
        p.play();
        QVERIFY(QTest::qWaitFor([&] { return !p.isPlaying(); }, kWait));
    }

    void fileDeletedWhilePlaying() {
        QVERIFY(QFile::copy(path("clip.avi"), path("doomed.avi")));
        MediaPlayer p;
        p.open(bytes("doomed.avi"));
        p.play();
        QVERIFY(playsPast(p, 200));
        QVERIFY(QFile::remove(path("doomed.avi")));
        QVERIFY(QTest::qWaitFor([&] { return !p.isPlaying(); }, kWait));
        p.play();
        p.close();
        QVERIFY(!p.isOpen());
    }
};

QTEST_MAIN(MediaPlayerTest)
#include "media_player_test.moc"
