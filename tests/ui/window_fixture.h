#pragma once

// The three windows of a run (TA, TFull, THK) over a temporary program and
// display folder, wired as start-up wires them, for window tests. The test
// program's application must be a HarpolyApplication so that key presses and
// escaped errors take the program's own ways.

#include "ui/app/harpoly_application.h"
#include "ui/app/ta.h"
#include "ui/browse/file_list_item_model.h"
#include "ui/fullscreen/full_screen_menu.h"
#include "ui/fullscreen/tfull.h"
#include "ui/fullscreen/thk.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QListView>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace harpoly::test {

// Settings with sound files in the media list.
inline const QByteArray kMediaSettings = "[Ext]\r\n"
                                         "Txt=txt,htm,html\r\n"
                                         "WM=mpg,mpeg,wmv,asf,avi,wav,ogg\r\n"
                                         "Img=jpg,jpeg,bmp,ico\r\n";

class Windows {
public:
    // `prepare` fills the display folder before the main window is made.
    explicit Windows(const std::function<void(const QString& folder)>& prepare = {},
                     const QByteArray& settings = kMediaSettings) {
        QDir(dir_.path()).mkpath(QStringLiteral("show"));
        program_ = QFile::encodeName(dir_.path()).toStdString() + "/";
        folder_ = dir_.filePath(QStringLiteral("show"));
        if (prepare) {
            prepare(folder_);
        }
        if (!settings.isEmpty()) {
            QFile ini(dir_.filePath(QStringLiteral("harpoly.ini")));
            ini.open(QIODevice::WriteOnly);
            ini.write(settings);
        }
        ta = std::make_unique<ui::TA>(ui::TAPaths{program_, program_, program_ + "harpoly.ini"});
        full = std::make_unique<ui::TFull>(ta.get());
        hk = std::make_unique<ui::THK>(ta.get(), ta.get());
        ta->setSecondaryWindows(full.get(), hk.get());
        if (auto* app = ui::HarpolyApplication::instance()) {
            app->setErrorHandler([this](const std::string& kind) { ta->AEException(kind); });
            app->setKeyHandler([this](int code) { return ta->AEShortCut(code); });
        }
        ta->show();
        ta->activateWindow();
        // Let the first activation (which re-reads the list) happen now, not
        // in the middle of a test.
        (void)QTest::qWaitFor(
            [] { return QGuiApplication::applicationState() == Qt::ApplicationActive; }, 5000);
        QCoreApplication::processEvents();
        ta->setDisplayFolder(QFile::encodeName(folder_).toStdString() + "/");
        ui::runReported([this] { ta->RefreshFileList({}); });
    }

    ~Windows() {
        if (auto* app = ui::HarpolyApplication::instance()) {
            app->setErrorHandler({});
            app->setKeyHandler({});
        }
        if (ta->isVisible()) {
            ta->close();
        }
        hk.reset();
        full.reset();
        ta.reset();
    }

    QString folder() const { return folder_; }
    QString settingsFile() const { return dir_.filePath(QStringLiteral("harpoly.ini")); }
    std::string programFolder() const { return program_; }

    int row(const QString& name) const {
        const auto& names = ta->fileListModel().core().names();
        for (int i = 0; i < static_cast<int>(names.size()); ++i) {
            if (QString::fromStdString(names[i]) == name) {
                return i;
            }
        }
        return -1;
    }
    // A click on an entry of the list (errors go to the information panel).
    void click(const QString& name) const {
        const int r = row(name);
        if (r == ta->fileListModel().currentIndex()) {
            ui::runReported([this] { ta->FLClick(); }); // a click on the current entry
        } else {
            ta->FL->setCurrentIndex(ta->FL->model()->index(r, 0));
        }
    }
    // An item of the full-screen menu.
    QAction* item(const char* name) const { return ta->findChild<QAction*>(name); }
    QString currentName() const {
        const int i = ta->fileListModel().currentIndex();
        return i < 0 ? QString() : QString::fromStdString(ta->fileListModel().name(i));
    }
    QString info() const;
    QString elapsed() const;

    std::unique_ptr<ui::TA> ta;
    std::unique_ptr<ui::TFull> full;
    std::unique_ptr<ui::THK> hk;

private:
    QTemporaryDir dir_;
    std::string program_;
    QString folder_;
};

} // namespace harpoly::test

#include "ui/app/panel_bar.h"

inline QString harpoly::test::Windows::info() const {
    return ta->SF->text(1);
}
inline QString harpoly::test::Windows::elapsed() const {
    return ta->SF->text(2);
}

// A test program whose application is the program's own.
#define HARPOLY_WINDOW_TEST_MAIN(TestClass)                                                        \
    int main(int argc, char** argv) {                                                              \
        harpoly::ui::HarpolyApplication app(argc, argv);                                           \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        TestClass test;                                                                            \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
