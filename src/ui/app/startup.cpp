#include "ui/app/startup.h"

#include "ui/app/harpoly_application.h"
#include "ui/app/ta.h"
#include "ui/app/termination_signal.h"
#include "core/app/window_rules.h"
#include "ui/fullscreen/tfull.h"
#include "ui/fullscreen/thk.h"
#include "core/platform/folders.h"
#include "core/settings/settings_location.h"

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

        TA ta(TAPaths{exeFolder, location.defaultFolder, location.file});
        TFull full(&ta);
        THK hk(&ta, &ta);
        ta.setSecondaryWindows(&full, &hk);
        app.setErrorHandler([&ta](const std::string& kindName) { ta.AEException(kindName); });
        app.setKeyHandler([&ta](int keyCode) { return ta.AEShortCut(keyCode); });
        QObject::connect(&ta, &TA::formClosed, &app, &QCoreApplication::quit);
        TerminationSignal termination([&ta] { ta.close(); });

        ta.show();
        ta.activateWindow();
        app.exec();

        app.setKeyHandler({});
        app.setErrorHandler({});
        return 0;
    } catch (const std::exception& e) {
        app.setKeyHandler({});
        app.setErrorHandler({});
        showStartupError(e.what());
    } catch (...) {
        showStartupError({});
    }
    return 1;
}

} // namespace harpoly::ui
