// Media in the main window: the information line, the slider, the buttons,
// the position timer and the elapsed-time panel, and media that cannot play.
#include "core/browse/preview.h"
#include "media_fixtures.h"
#include "ui/browse/media_player.h"
#include "ui/browse/preview_box.h"
#include "window_rig.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QSlider>
#include <QTimer>
#include <QToolButton>

using Windows = harpoly::test::StartedWindows;
using harpoly::ui::MediaPlayer;
namespace t = harpoly::test;

namespace {

constexpr int kWait = 15000;

QString sizeTextOf(const QString& path) {
    return QString::fromStdString(harpoly::sizeText(QFileInfo(path).size()));
}

} // namespace

class MediaPreviewTest : public QObject {
    Q_OBJECT

    QTemporaryDir media_;
    QString m(const char* name) const { return media_.filePath(QString::fromLatin1(name)); }

    // A window whose display folder holds copies of the named media files.
    std::unique_ptr<Windows> windowWith(QStringList names) {
        return std::make_unique<Windows>([&](const QString& folder) {
            for (const QString& n : names) {
                QFile::copy(media_.filePath(n), folder + "/" + n);
            }
        });
    }

    static void press(Windows& w, MediaPlayer::Button b) { w.MPC->button(b)->click(); }

private slots:
    void initTestCase() {
        QVERIFY(t::makeMpg(m("long.mpg"), 65.432));
        QVERIFY(t::makeMpg(m("clip.mpg"), 5));
        QVERIFY(t::makeMpg(m("short.mpg"), 0.6));
        QVERIFY(t::makeWav(m("tone.wav"), 2));
        QVERIFY(t::makeAvi(m("clip.avi"), 3));
        QVERIFY(t::writeBytes(m("noise.avi"), t::randomBytes(48 * 1024, 11)));
        QVERIFY(t::truncateCopy(m("clip.avi"), m("cut.avi"), 0.5));
        QVERIFY(t::ffmpeg(t::testVideo(1) +
                          QStringList{"-frames:v", "0", "-c:v", "mpeg4", m("noframes.avi")}));
        QVERIFY(t::makeEmptyWav(m("empty.wav")));
    }

    void describesTheFileAndPlacesTheVideo() {
        auto w = windowWith({"long.mpg"});
        w->click("long.mpg");
        QCOMPARE(w->info(),
                 " 幅 320  高さ 240" + sizeTextOf(m("long.mpg")).prepend(' ') + "  時間 01:05");
        QVERIFY(w->MPP->isVisible());
        QCOMPARE(w->MPt->minimum(), 0);
        QCOMPARE(w->MPt->maximum(), 65);
        QCOMPARE(w->MPt->value(), 0);
        QCOMPARE(w->MPC->displayRect(), QRect(10, 40, 320, 240));
        // The slider is as wide as the resize rule makes it for the preview area.
        QTRY_COMPARE(w->MPt->width(), w->BOX->width() >= 420 ? 300 : w->BOX->width() - 120);
        QVERIFY(w->TM->isActive());
        QVERIFY(!w->MPC->isPlaying()); // pM clear: stopped at the start
        QVERIFY(w->ta->mediaOpen());
        // Every button is enabled whatever the state.
        for (auto b :
             {MediaPlayer::Button::Play, MediaPlayer::Button::Stop, MediaPlayer::Button::Back}) {
            QVERIFY(w->MPC->button(b)->isEnabled());
        }
    }

    void soundOnlyAndShortFiles() {
        auto w = windowWith({"tone.wav", "short.mpg"});
        w->click("tone.wav");
        QCOMPARE(w->info(),
                 " 幅 0  高さ 0" + sizeTextOf(m("tone.wav")).prepend(' ') + "  時間 00:02");
        QCOMPARE(w->MPt->maximum(), 2);
        w->click("short.mpg");
        QCOMPARE(w->MPt->minimum(), 0);
        QCOMPARE(w->MPt->maximum(), 0); // shorter than a second
        QVERIFY(w->info().endsWith("時間 00:00"));
    }

    void autoPlayStartsAtOnce() {
        auto w = windowWith({"clip.mpg"});
        w->pM->setChecked(true);
        w->click("clip.mpg");
        QVERIFY(w->MPC->isPlaying());
        // The timer moves the slider and the elapsed panel.
        QVERIFY(QTest::qWaitFor([&] { return w->MPt->value() >= 1; }, kWait));
        QTRY_VERIFY_WITH_TIMEOUT(w->elapsed().startsWith(" 経過時間 00:0"), kWait);
    }

    void stopAndPlayResumeBackAndPlayRestarts() {
        auto w = windowWith({"clip.mpg"});
        w->click("clip.mpg");
        press(*w, MediaPlayer::Button::Play);
        QVERIFY(w->TM->isActive());
        QVERIFY(QTest::qWaitFor([&] { return w->MPt->value() >= 2; }, kWait));
        press(*w, MediaPlayer::Button::Stop);
        QVERIFY(!w->TM->isActive());
        const auto at = w->MPC->position();
        const QString shown = w->elapsed();
        QVERIFY(at >= 2000);
        press(*w, MediaPlayer::Button::Play);
        QVERIFY(w->MPC->position() >= at - 50);
        QVERIFY(QTest::qWaitFor([&] { return w->MPC->position() > at + 300; }, kWait));

        press(*w, MediaPlayer::Button::Back);
        QVERIFY(!w->TM->isActive());
        QCOMPARE(w->MPt->value(), 0);
        QCOMPARE(w->MPC->position(), 0);
        QVERIFY(!w->MPC->isPlaying());
        Q_UNUSED(shown);
        press(*w, MediaPlayer::Button::Play);
        QVERIFY(w->MPC->position() < 1000);
        QVERIFY(w->MPC->isPlaying());
    }

    void seekingWithTheSliderStopsThere() {
        auto w = windowWith({"long.mpg"});
        w->click("long.mpg");
        press(*w, MediaPlayer::Button::Play);
        QVERIFY(QTest::qWaitFor([&] { return w->MPC->position() > 200; }, kWait));
        // The user takes the slider (it gets the focus) and drops it at 0:30.
        w->MPt->setFocus();
        QCOMPARE(w->ta->focusWidget(), w->MPt);
        w->MPt->setValue(30);
        QCOMPARE(w->MPC->position(), 30000);
        QVERIFY(!w->MPC->isPlaying());
        QTRY_COMPARE_WITH_TIMEOUT(w->elapsed(), QStringLiteral(" 経過時間 00:30"), kWait);
        // Play goes on from there and takes the focus off the slider.
        press(*w, MediaPlayer::Button::Play);
        QCOMPARE(w->ta->focusWidget(), w->MPC);
        QVERIFY(QTest::qWaitFor([&] { return w->MPC->position() > 30300; }, kWait));
        // The timer's own moves of the slider never seek.
        QVERIFY(QTest::qWaitFor([&] { return w->MPt->value() >= 31; }, kWait));
        QVERIFY(w->MPC->isPlaying());
    }

    void theEndStaysAtTheLength() {
        auto w = windowWith({"short.mpg", "tone.wav"});
        w->pM->setChecked(true);
        w->click("tone.wav");
        QVERIFY(QTest::qWaitFor([&] { return w->MPC->atEnd(); }, kWait));
        QTRY_COMPARE_WITH_TIMEOUT(w->elapsed(), QStringLiteral(" 経過時間 00:02"), kWait);
        QCOMPARE(w->MPt->value(), 2);
        QVERIFY(w->TM->isActive());
        // Another file closes the media and empties the panel.
        w->click("short.mpg");
        QCOMPARE(w->elapsed(), QString());
    }

    void theActivationLeavesOpenMediaAlone() {
        auto w = windowWith({"clip.mpg"});
        w->click("clip.mpg");
        QVERIFY(t::writeBytes(w->displayPath() + "/new.txt", "x"));
        w->ta->refreshOnActivation();
        QCOMPARE(w->ta->fileList().count(), 1); // not re-read
        QVERIFY(w->MPC->isOpen());
    }

    void mediaThatCannotPlay_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("refused");
        QTest::newRow("random bytes") << "noise.avi" << true;
        QTest::newRow("truncated") << "cut.avi" << false;
        QTest::newRow("no frame") << "noframes.avi" << false;
        QTest::newRow("no sample") << "empty.wav" << false;
    }
    void mediaThatCannotPlay() {
        QFETCH(QString, name);
        QFETCH(bool, refused);
        auto w = windowWith({name});
        w->pM->setChecked(true);
        w->click(name);
        if (refused) {
            QCOMPARE(w->info(),
                     QStringLiteral(" エラーが発生しました。 ( 取り扱えないマルチメディア )"));
            QVERIFY(!w->MPP->isVisible());
            QVERIFY(!w->TM->isActive());
            QVERIFY(!w->ta->mediaOpen());
            return;
        }
        // Either refused with the same text, or played to a quiet stop.
        if (w->info().startsWith(" エラー")) {
            QCOMPARE(w->info(),
                     QStringLiteral(" エラーが発生しました。 ( 取り扱えないマルチメディア )"));
            return;
        }
        QVERIFY(QTest::qWaitFor([&] { return !w->MPC->isPlaying(); }, kWait));
        QVERIFY(w->MPt->value() <= w->MPt->maximum());
        press(*w, MediaPlayer::Button::Play);
        QVERIFY(QTest::qWaitFor([&] { return !w->MPC->isPlaying(); }, kWait));
    }

    void fileDeletedWhilePlaying() {
        auto w = windowWith({"clip.avi"});
        w->pM->setChecked(true);
        w->click("clip.avi");
        QVERIFY(QTest::qWaitFor([&] { return w->MPC->position() > 200; }, kWait));
        QVERIFY(QFile::remove(w->displayPath() + "/clip.avi"));
        QVERIFY(QTest::qWaitFor([&] { return !w->MPC->isPlaying(); }, kWait));
        // Still answering: the next preview works.
        w->ta->fileList().refresh({});
        QCOMPARE(w->info(), QStringLiteral(" ファイルが指定されていません"));
    }

    void closingWhilePlaying() {
        auto w = windowWith({"long.mpg"});
        w->pM->setChecked(true);
        w->click("long.mpg");
        QVERIFY(w->MPC->isPlaying());
        w->ta->close(); // saves the settings; the fixture then destroys the windows
        QVERIFY(QFile::exists(QString::fromStdString(w->settings)));
    }
};

HARPOLY_WINDOW_TEST_MAIN(MediaPreviewTest)
#include "media_preview_test.moc"
