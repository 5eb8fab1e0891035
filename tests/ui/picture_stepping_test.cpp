// Stepping through pictures: every press moves one entry at once, the window
// never works through a backlog of decodes, only the current entry's picture
// is ever painted, pictures read ahead are shown at once, decoding never holds
// up the window, and a picture is decoded again when its pane grows.
#include "core/browse/preview.h"
#include "media_fixtures.h"
#include "ui/browse/picture_reader.h"
#include "window_rig.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QKeyEvent>
#include <QScrollBar>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>

using Windows = harpoly::test::StartedWindows;
using harpoly::DecodedPicture;
using harpoly::ui::PictureDecoder;
using harpoly::ui::PictureRequest;
namespace t = harpoly::test;

namespace {

constexpr int kWait = 15000;

// The colour of picture `index`: far apart from its neighbours' after JPEG.
QRgb colourOf(int index) {
    return QColor::fromHsv((index * 47) % 360, 255, 200).rgb();
}

bool near(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) < 24 && std::abs(qGreen(a) - qGreen(b)) < 24 &&
           std::abs(qBlue(a) - qBlue(b)) < 24;
}

QString nameOf(int index) {
    return QStringLiteral("p%1.jpg").arg(index, 2, 10, QLatin1Char('0'));
}

void writeJpeg(const QString& path, QSize size, QRgb colour) {
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(colour);
    QVERIFY(picture.save(path, "JPG", 90));
}

// `count` solid pictures p00.jpg, p01.jpg, ... of `size`.
std::function<void(const QString&)> pictures(int count, QSize size = {64, 48}) {
    return [count, size](const QString& folder) {
        for (int i = 0; i < count; ++i) {
            writeJpeg(folder + "/" + nameOf(i), size, colourOf(i));
        }
    };
}

// The program's decoder, counting what it decodes; a decode of a file named
// in `held` waits until it is let go (whether or not it was asked to stop),
// one named in `slow` until it is asked to stop.
class WatchedDecoder : public PictureDecoder {
public:
    DecodedPicture decode(const PictureRequest& request, std::stop_token stop) override {
        const std::string name = request.path.substr(request.path.rfind('/') + 1);
        {
            std::unique_lock lock(mutex_);
            decoded_.push_back(name);
            if (held_.count(name) != 0) {
                released_.wait(lock, [&] { return held_.count(name) == 0; });
            }
            if (slow_.count(name) != 0) {
                released_.wait(lock, stop, [] { return false; });
                stoppedSeen_ += stop.stop_requested();
            }
        }
        return real_->decode(request, stop);
    }

    void hold(const std::string& name) {
        const std::lock_guard lock(mutex_);
        held_.insert(name);
    }
    void letGo(const std::string& name) {
        {
            const std::lock_guard lock(mutex_);
            held_.erase(name);
        }
        released_.notify_all();
    }
    void makeSlow(const std::string& name) {
        const std::lock_guard lock(mutex_);
        slow_.insert(name);
    }
    std::vector<std::string> decoded() const {
        const std::lock_guard lock(mutex_);
        return decoded_;
    }
    long timesDecoded(const std::string& name) const {
        const std::lock_guard lock(mutex_);
        return std::count(decoded_.begin(), decoded_.end(), name);
    }
    int stoppedSeen() const {
        const std::lock_guard lock(mutex_);
        return stoppedSeen_;
    }

private:
    std::shared_ptr<PictureDecoder> real_ = harpoly::ui::makePictureDecoder();
    mutable std::mutex mutex_;
    std::condition_variable_any released_;
    std::set<std::string> held_;
    std::set<std::string> slow_;
    std::vector<std::string> decoded_;
    int stoppedSeen_ = 0;
};

harpoly::ui::PictureReader* readerOf(Windows& w) {
    return w.ta->findChild<harpoly::ui::PictureReader*>(QStringLiteral("pictureReader"));
}

// Every picture the pane paints, by its centre colour.
struct DrawnPictures {
    QList<QRgb> centres;
    explicit DrawnPictures(Windows& w) {
        QObject::connect(w.IMG, &harpoly::ui::ImagePane::pictureDrawn, w.IMG,
                         [this](const QImage& picture) {
                             centres << picture.pixel(picture.width() / 2, picture.height() / 2);
                         });
    }
    bool any(QRgb colour) const {
        return std::any_of(centres.begin(), centres.end(), [&](QRgb c) { return near(c, colour); });
    }
};

QRgb shownCentre(Windows& w) {
    const QImage& picture = w.IMG->picture();
    return picture.isNull() ? 0 : picture.pixel(picture.width() / 2, picture.height() / 2);
}

// The pane shows picture `index`, painted.
bool showsPicture(Windows& w, int index) {
    if (!w.IMG->isVisible() || !near(shownCentre(w), colourOf(index))) {
        return false;
    }
    const QImage painted = w.IMG->grab().toImage();
    return near(painted.pixel(w.IMG->drawnRect().center()), colourOf(index));
}

void enterFullScreen(Windows& w) {
    w.BF->click();
    QVERIFY(QTest::qWaitForWindowExposed(w.full));
}

QWidget* keyTarget(Windows& w) {
    if (w.ta->fullScreenOn()) {
        return w.full->focusWidget() != nullptr ? w.full->focusWidget() : w.full;
    }
    return w.FL;
}

// Posts `count` presses of `key` at once: they wait in the queue together,
// as the presses of a held key do while the window is busy.
void queuePresses(Windows& w, Qt::Key key, int count) {
    QWidget* target = keyTarget(w);
    for (int i = 0; i < count; ++i) {
        QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier));
        QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier));
    }
}

} // namespace

class PictureSteppingTest : public QObject {
    Q_OBJECT

private slots:
    void queuedPressesEndOnTheLastEntryWithOneDecode_data() {
        QTest::addColumn<bool>("fullScreen");
        QTest::newRow("list in the main window") << false;
        QTest::newRow("full screen") << true;
    }
    void queuedPressesEndOnTheLastEntryWithOneDecode() {
        QFETCH(bool, fullScreen);
        Windows w(pictures(24));
        auto decoder = std::make_shared<WatchedDecoder>();
        readerOf(w)->setDecoder(decoder);
        w.ta->makeEntryCurrent(0);
        if (fullScreen) {
            enterFullScreen(w);
        }
        QTRY_VERIFY_WITH_TIMEOUT(showsPicture(w, 0), kWait);
        QTRY_COMPARE(readerOf(w)->decodesInFlight(), 0);
        DrawnPictures drawn(w);
        // Each press: the entry it made current, and the name panel then,
        // which shows the entry of the press before.
        QStringList entries;
        QStringList panels;
        connect(w.FL->selectionModel(), &QItemSelectionModel::currentChanged, this,
                [&](const QModelIndex& current) {
                    entries << current.data().toString();
                    panels << w.full->statusText(0);
                });

        queuePresses(w, fullScreen ? Qt::Key_Return : Qt::Key_Down, 20);
        QTRY_VERIFY_WITH_TIMEOUT(showsPicture(w, 20), kWait);

        // Every press moved one entry, the list and the name panel with it.
        QCOMPARE(w.currentName(), nameOf(20));
        QCOMPARE(entries.size(), 20);
        for (int i = 1; i <= 20; ++i) {
            QCOMPARE(entries[i - 1], nameOf(i));
            if (fullScreen) {
                QCOMPARE(panels[i - 1], " " + nameOf(i - 1));
            }
        }
        if (fullScreen) {
            QCOMPARE(w.full->statusText(0), " " + nameOf(20));
        }
        const QString size = QString::fromStdString(
            harpoly::sizeText(QFileInfo(w.displayPath() + "/" + nameOf(20)).size()));
        QCOMPARE(w.info(), " 幅 64  高さ 48 " + size);
        // No backlog: the pictures passed over were never decoded or painted;
        // the first ones may have been read ahead.
        QTRY_COMPARE(readerOf(w)->decodesInFlight(), 0);
        for (const std::string& name : decoder->decoded()) {
            const int index = QString::fromStdString(name).mid(1, 2).toInt();
            QVERIFY2(index <= 1 || index >= 19 || index == 23, name.c_str());
        }
        for (int i = 2; i < 20; ++i) {
            QVERIFY2(!drawn.any(colourOf(i)), qPrintable(nameOf(i)));
        }
        QVERIFY(drawn.any(colourOf(20)));
    }

    void aPictureReadAheadIsShownAtOnce() {
        Windows w(pictures(4));
        auto decoder = std::make_shared<WatchedDecoder>();
        readerOf(w)->setDecoder(decoder);
        w.ta->makeEntryCurrent(1);
        enterFullScreen(w);
        QTRY_VERIFY_WITH_TIMEOUT(showsPicture(w, 1), kWait);
        // The next entry and the one before are read ahead.
        QTRY_COMPARE(readerOf(w)->decodesInFlight(), 0);
        const std::vector<std::string> afterFirst = decoder->decoded();
        QCOMPARE(std::set<std::string>(afterFirst.begin(), afterFirst.end()),
                 (std::set<std::string>{"p00.jpg", "p01.jpg", "p02.jpg"}));
        QCOMPARE(afterFirst.size(), 3u);

        QTest::keyClick(keyTarget(w), Qt::Key_Return);
        QVERIFY(showsPicture(w, 2)); // no decode to wait for
        QTest::keyClick(keyTarget(w), Qt::Key_Backspace);
        QVERIFY(showsPicture(w, 1)); // still kept
        // Going back, the one before is read ahead first.
        QTest::keyClick(keyTarget(w), Qt::Key_Backspace);
        QVERIFY(showsPicture(w, 0));
        QTRY_COMPARE(readerOf(w)->decodesInFlight(), 0);
        QCOMPARE(QString::fromStdString(decoder->decoded().back()), nameOf(3)); // wraps round
        QCOMPARE(decoder->decoded().size(), 4u);
    }

    void aDecodeThatEndsAfterItsEntryWasLeftIsNeverPainted() {
        Windows w(pictures(5));
        auto decoder = std::make_shared<WatchedDecoder>();
        readerOf(w)->setDecoder(decoder);
        w.ta->makeEntryCurrent(4); // p03 is read ahead
        QTRY_VERIFY_WITH_TIMEOUT(showsPicture(w, 4), kWait);
        QTRY_COMPARE(readerOf(w)->decodesInFlight(), 0);
        DrawnPictures drawn(w);
        // p02 decodes slowly; the user is on p03 before it ends.
        decoder->hold(nameOf(2).toStdString());
        w.ta->makeEntryCurrent(2);
        QTRY_VERIFY(decoder->timesDecoded(nameOf(2).toStdString()) == 1);
        QVERIFY(!w.IMG->isVisible());
        QVERIFY(w.info().startsWith(" 幅 64  高さ 48"));
        w.ta->makeEntryCurrent(3);
        QVERIFY(showsPicture(w, 3));
        decoder->letGo(nameOf(2).toStdString());
        QTRY_COMPARE(readerOf(w)->decodesInFlight(), 0);
        QTest::qWait(100);
        QVERIFY(showsPicture(w, 3));
        QVERIFY(!drawn.any(colourOf(2)));
        QCOMPARE(w.currentName(), nameOf(3));
    }

    void aJpegDamagedPastItsHeaderIsReportedWhenDecoded() {
        QTemporaryDir source;
        const QString whole = source.filePath("whole.jpg");
        QImage noise(400, 300, QImage::Format_RGB32);
        for (int y = 0; y < noise.height(); ++y) {
            for (int x = 0; x < noise.width(); ++x) {
                noise.setPixel(x, y, qRgb((x * 7) & 255, (y * 13) & 255, (x * y) & 255));
            }
        }
        QVERIFY(noise.save(whole, "JPG", 95));
        Windows w([&](const QString& folder) {
            QVERIFY(t::truncateCopy(whole, folder + "/cut.jpg", 0.5));
        });
        const QString size = QString::fromStdString(
            harpoly::sizeText(QFileInfo(w.displayPath() + "/cut.jpg").size()));
        auto decoder = std::make_shared<WatchedDecoder>();
        readerOf(w)->setDecoder(decoder);
        decoder->hold("cut.jpg");
        w.reported.clear();
        w.ta->previewCurrentEntry();
        // The header is sound: its size is written at once.
        QCOMPARE(w.info(), " 幅 400  高さ 300 " + size);
        decoder->letGo("cut.jpg");
        QTRY_COMPARE(w.info(), QStringLiteral(" エラーが発生しました。 ( 不正なJPEG )"));
        QCOMPARE(w.reported, QStringList{"EJPEG"});
        QVERIFY(!w.IMG->isVisible());
        QVERIFY(!w.IMG->hasPicture());
    }

    void escapeDuringASlowDecodeLeavesAtOnce() {
        Windows w(pictures(2));
        auto decoder = std::make_shared<WatchedDecoder>();
        readerOf(w)->setDecoder(decoder);
        decoder->makeSlow(nameOf(0).toStdString());
        w.ta->makeEntryCurrent(0);
        QTRY_VERIFY(!decoder->decoded().empty());
        enterFullScreen(w);
        QVERIFY(w.ta->fullScreenOn());
        QVERIFY(!w.IMG->isVisible()); // still decoding
        QElapsedTimer took;
        took.start();
        QTest::keyClick(keyTarget(w), Qt::Key_Escape);
        QVERIFY(!w.ta->fullScreenOn());
        QVERIFY(!w.full->isVisible());
        QVERIFY(took.elapsed() < 1000);
        // The slow decode was asked to stop.
        QTRY_VERIFY(decoder->stoppedSeen() >= 1);
    }

    void aPictureIsDecodedAgainWhenItsPaneGrows() {
        Windows w([](const QString& folder) {
            writeJpeg(folder + "/big.jpg", QSize(2400, 1600), qRgb(20, 120, 200));
        });
        const auto paneTo = [&](QSize size) {
            const QSize now = w.BOX->viewport()->size();
            w.ta->resize(w.ta->size() + (size - now));
            QTRY_COMPARE(w.BOX->viewport()->size(), size);
        };
        paneTo(QSize(500, 400));
        w.ta->previewCurrentEntry();
        QTRY_VERIFY_WITH_TIMEOUT(w.IMG->isVisible(), kWait);
        QCOMPARE(w.IMG->drawnRect().size(), QSize(500, 333));
        QCOMPARE(w.IMG->picture().size(), QSize(500, 333));

        paneTo(QSize(1250, 1000));
        // Stretched until the resize settles, then decoded for the new size.
        QVERIFY(w.IMG->isVisible());
        QCOMPARE(w.IMG->drawnRect().size(), QSize(1250, 833));
        QTRY_COMPARE_WITH_TIMEOUT(w.IMG->picture().size(), QSize(1250, 833), kWait);
        QCOMPARE(w.IMG->ownSize(), QSize(2400, 1600));
        // Shrunk a little, the sharp picture stays.
        paneTo(QSize(1000, 800));
        QTest::qWait(400);
        QCOMPARE(w.IMG->picture().size(), QSize(1250, 833));
    }
};

HARPOLY_WINDOW_TEST_MAIN(PictureSteppingTest)
#include "picture_stepping_test.moc"
