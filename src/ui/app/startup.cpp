#include "ui/app/startup.h"

#include "core/app/window_rules.h"
#include "core/platform/folders.h"
#include "core/settings/settings_location.h"
#include "ui/app/harpoly_application.h"
#include "ui/app/program_windows.h"
#include "ui/app/termination_signal.h"

#include <QMessageBox>

namespace harpoly::ui {

namespace {

void showStartupError(const std::string& message) {
    QMessageBox box(QMessageBox::Critical, QString::fromUtf8(kAppTitle),
                    QString::fromStdString(startupErrorText(message)), QMessageBox::Ok);
    box.exec();
}

} // namespace

int runHarpoly(HarpolyApplication& app) {
    try {
        QApplication::setApplicationName(QStringLiteral("harpoly"));
        QApplication::setQuitOnLastWindowClosed(false);

        const std::string exeFolder = programFolder();
        const SettingsLocation location = locateSettings(exeFolder);
        ProgramWindows windows(MainWindowPaths{exeFolder, location.defaultFolder, location.file},
                               &app);
        MainWindow& main = windows.main();
        QObject::connect(&main, &MainWindow::closed, &app, &QCoreApplication::quit);
        TerminationSignal termination([&main] { main.close(); });

        main.show();
        main.activateWindow();
        app.exec();
        return 0;
    } catch (const std::exception& e) {
        showStartupError(e.what());
    } catch (...) {
        showStartupError({});
    }
    return 1;
}

} // namespace harpoly::ui
