// Two copies of the built program: the second ends at once with exit code 1,
// the first ends with 0 when it is told to close (and saves its settings).
#include "program_copy.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

// Whether some process holds the exclusive lock on `path`.
bool lockHeld(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    ::close(fd);
    return held;
}

} // namespace

class SingleInstanceTest : public QObject {
    Q_OBJECT
private slots:
    void secondCopyEndsWithOne();
};

void SingleInstanceTest::secondCopyEndsWithOne() {
    const QString built = qEnvironmentVariable("HARPOLY_BIN");
    if (built.isEmpty()) {
        QSKIP("HARPOLY_BIN is not set");
    }
    // The program keeps its settings beside itself: run a copy in a
    // temporary folder so that no real settings file is touched.
    harpoly::test::ProgramCopy copy;
    const QTemporaryDir& programDir = copy.programDir;
    const QTemporaryDir& runtimeDir = copy.runtimeDir;
    QVERIFY(QFile::copy(built, copy.bin));
    QVERIFY(QFile::setPermissions(copy.bin, QFile::ReadOwner | QFile::ExeOwner));

    QProcess first;
    copy.start(first);
    QVERIFY(first.waitForStarted());
    const QString lockPath = runtimeDir.filePath("harpoly.lock");
    QTRY_VERIFY_WITH_TIMEOUT(lockHeld(lockPath), 20000);
    // The settings are seeded while the main window is created.
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(programDir.filePath("harpoly.ini")), 20000);

    QProcess second;
    copy.start(second);
    QVERIFY(second.waitForFinished(20000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 1);
    QCOMPARE(second.readAllStandardOutput(), QByteArray());
    QCOMPARE(first.state(), QProcess::Running);

    // SIGTERM closes the main window like its close box.
    first.terminate();
    QVERIFY(first.waitForFinished(20000));
    QCOMPARE(first.exitStatus(), QProcess::NormalExit);
    QCOMPARE(first.exitCode(), 0);
    QFile ini(programDir.filePath("harpoly.ini"));
    QVERIFY(ini.open(QIODevice::ReadOnly));
    QVERIFY(ini.readAll().contains("[Set]\r\n"));
    QVERIFY(!lockHeld(lockPath));
}

QTEST_GUILESS_MAIN(SingleInstanceTest)
#include "single_instance_test.moc"
