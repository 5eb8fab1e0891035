// The icon tab on Windows programs in the real window: a huge program file
// answers at once, and a 16-bit (NE) program gives its icons.
#include "../core/generate/icon_test_files.h" // tests/core
#include "window_rig.h"

#include <QElapsedTimer>
#include <QImage>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace t = harpoly::test;
using namespace harpoly::icon_test;

namespace {

// The resident-memory high-water mark of this process, in MiB.
long peakMegabytes() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

void writeBytes(const std::string& path, const Bytes& bytes) {
    t::writeFile(path, std::string(bytes.begin(), bytes.end()));
}

// The icon tab's button pressed with `name` the current entry.
void extractIconsOf(t::WindowRig& w, const QString& name) {
    w.ta->makeEntryCurrent(w.row(name));
    QCOMPARE(w.currentName(), name);
    w.Utility->setCurrentIndex(8);
    w.ta->findChild<QPushButton*>("BEnt4")->click();
}

} // namespace

class ProgramIconsTest : public QObject {
    Q_OBJECT

private slots:
    // 1.5 GB of holes behind "MZ": the count needs the headers alone, so the
    // answer comes at once and the memory stays as it was.
    void aHugeProgramFileAnswersAtOnce() {
        t::StartedWindows w([](const QString& folder) {
            const std::string path = folder.toStdString() + "/huge.exe";
            const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            QVERIFY(fd >= 0);
            QCOMPARE(::write(fd, "MZ", 2), 2);
            QCOMPARE(::ftruncate(fd, 1536LL << 20), 0);
            ::close(fd);
        });
        const long peakBefore = peakMegabytes();
        QElapsedTimer took;
        took.start();
        extractIconsOf(w, "huge.exe");
        QVERIFY2(took.elapsed() < 1000, qPrintable(QString::number(took.elapsed())));
        QCOMPARE(w.prompter.notices,
                 QStringList{"アイコン抽出|huge.exeにはアイコンは存在しません"});
        QVERIFY2(peakMegabytes() - peakBefore < 64,
                 qPrintable(QStringLiteral("%1 MiB").arg(peakMegabytes() - peakBefore)));
    }

    void aSixteenBitProgramGivesItsIcons() {
        t::StartedWindows w([](const QString& folder) {
            writeBytes(folder.toStdString() + "/old.exe",
                       neFile({{solidImage(32, 4, 9)}, {solidImage(16, 4, 12)}}));
        });
        w.ta->setOutputFolder(w.output);
        extractIconsOf(w, "old.exe");
        QCOMPARE(w.prompter.asked,
                 QStringList{"アイコン抽出|old.exeのアイコンを出力フォルダへ抽出しますか?"});
        QVERIFY(w.prompter.notices.isEmpty());
        // Both groups at the large-icon size; the 16 by 16 one enlarged.
        const QImage first(QString::fromStdString(w.output + "old-0.bmp"));
        const QImage second(QString::fromStdString(w.output + "old-1.bmp"));
        QCOMPARE(first.size(), QSize(32, 32));
        QCOMPARE(second.size(), QSize(32, 32));
        QCOMPARE(first.pixelColor(16, 16), QColor(Qt::red));
        QCOMPARE(second.pixelColor(16, 16), QColor(Qt::blue));
        QVERIFY(!QFile::exists(QString::fromStdString(w.output + "old-2.bmp")));
    }
};

HARPOLY_WINDOW_TEST_MAIN(ProgramIconsTest)
#include "program_icons_test.moc"
