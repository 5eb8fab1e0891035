// The built program closed while a media file plays ends cleanly with exit
// code 0 and saves its settings.
#include "media_fixtures.h"
#include "program_copy.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace t = harpoly::test;

namespace {

// Whether one of the process's threads is an engine thread that only runs
// while a file is loaded (the demuxer).
bool engineLoadedFile(qint64 pid) {
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(tasks.filePath(task + "/comm"));
        if (comm.open(QIODevice::ReadOnly) && comm.readAll().contains("demux")) {
            return true;
        }
    }
    return false;
}

} // namespace

class MediaExitTest : public QObject {
    Q_OBJECT
private slots:
    void closingWhileMediaPlaysEndsWithZero() {
        const QString built = qEnvironmentVariable("HARPOLY_BIN");
        if (built.isEmpty()) {
            QSKIP("HARPOLY_BIN is not set");
        }
        // A copy of the program in a temporary folder keeps its settings there.
        t::ProgramCopy copy;
        const QTemporaryDir& programDir = copy.programDir;
        QVERIFY(QFile::copy(built, copy.bin));
        QVERIFY(QFile::setPermissions(copy.bin, QFile::ReadOwner | QFile::ExeOwner));
        QVERIFY(QDir(programDir.path()).mkdir("show"));
        QVERIFY(t::makeMpg(programDir.filePath("show/film.mpg"), 30));
        const QByteArray show = QFile::encodeName(programDir.filePath("show")) + "/";
        QVERIFY(t::writeBytes(programDir.filePath("harpoly.ini"),
                              "[Ext]\r\nWM=mpg\r\n[Set]\r\nAutoPlay=1\r\nDir=" + show + "\r\n"));

        QProcess program;
        copy.start(program);
        QVERIFY(program.waitForStarted());
        // The first activation lists the folder and plays its only file.
        QTRY_VERIFY_WITH_TIMEOUT(engineLoadedFile(program.processId()), 30000);

        program.terminate(); // closes the main window like its close box
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        QFile ini(programDir.filePath("harpoly.ini"));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QVERIFY(ini.readAll().contains("AutoPlay=1\r\n"));
    }
};

QTEST_GUILESS_MAIN(MediaExitTest)
#include "media_exit_test.moc"
