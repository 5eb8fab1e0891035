#pragma once

// A copy of the built program in a temporary folder, so that it keeps its
// settings there and never touches real ones, started with its own runtime
// folder, home and an offscreen display.

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

namespace harpoly::test {

struct ProgramCopy {
    QTemporaryDir programDir;
    QTemporaryDir runtimeDir;
    const QString bin = programDir.filePath(QStringLiteral("harpoly"));

    // Starts the copy in `process`; the caller waits for it.
    void start(QProcess& process) const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", runtimeDir.path());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("HOME", programDir.path());
        process.setProcessEnvironment(env);
        process.start(bin, {});
    }
};

} // namespace harpoly::test
