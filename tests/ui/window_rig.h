#pragma once

// The program's windows, built and wired by the start-up's own ProgramWindows,
// over temporary program, display and output folders, with the main window's
// controls looked up by their object names, and the small helpers the window
// tests share. The test program's application must be a HarpolyApplication,
// so that key presses and escaped errors take the program's own ways.

#include "core/app/ui_ports.h"
#include "core/browse/file_list_port.h"
#include "core/settings/settings.h"
#include "ui/app/harpoly_application.h"
#include "ui/app/main_window.h"
#include "ui/app/panel_bar.h"
#include "ui/app/program_windows.h"
#include "ui/browse/image_pane.h"
#include "ui/browse/media_player.h"
#include "ui/browse/preview_box.h"
#include "ui/browse/text_pane.h"
#include "ui/fullscreen/full_screen_menu.h"
#include "ui/fullscreen/full_screen_window.h"
#include "ui/fullscreen/shortcut_key_dialog.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QSplitter>
#include <QStringList>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

namespace harpoly::test {

inline std::string folderOf(const QTemporaryDir& dir) {
    return QFile::encodeName(dir.path()).toStdString() + "/";
}

inline void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// The settings a first start seeds, one line each, ended by CR LF.
inline std::string seedSettingsText() {
    std::string text;
    for (const char* line : kSeedSettingsLines) {
        text += std::string(line) + "\r\n";
    }
    return text;
}

// Settings with sound files in the media list.
inline const std::string kMediaSettings = "[Ext]\r\n"
                                          "Txt=txt,htm,html\r\n"
                                          "WM=mpg,mpeg,wmv,asf,avi,wav,ogg\r\n"
                                          "Img=jpg,jpeg,bmp,ico\r\n";

// Answers every question with a fixed choice and records what was shown.
class RecordingPrompter : public Prompter {
public:
    bool answer = true;
    QStringList asked;
    QStringList details; // the detail text of each question
    QStringList notices;
    bool ask(const std::string& question, const std::string& caption,
             const std::string& detail) override {
        asked << QString::fromStdString(caption + "|" + question);
        details << QString::fromStdString(detail);
        return answer;
    }
    void notice(const std::string& text, const std::string& caption) override {
        notices << QString::fromStdString(caption + "|" + text);
    }
};

// The windows are made by create() or start(); the settings file is the
// test's to write before that.
struct WindowRig {
    QTemporaryDir programDir;
    QTemporaryDir displayDir;
    QTemporaryDir outputDir;
    std::string program = folderOf(programDir);
    std::string display = folderOf(displayDir);
    std::string output = folderOf(outputDir);
    std::string settings = program + "harpoly.ini";
    RecordingPrompter prompter;
    ui::Clock clock;      // the system's while empty; set before create()
    QStringList reported; // what reached the application's error handler

    std::unique_ptr<ui::ProgramWindows> windows;
    ui::MainWindow* ta = nullptr;
    ui::FullScreenWindow* full = nullptr;
    ui::ShortcutKeyDialog* hk = nullptr;
    // The main window's controls, by object name. The preview area's stay
    // reachable here while full-screen view moves them to the other window.
    QPushButton *BI = nullptr, *BO = nullptr, *BF = nullptr, *BE = nullptr, *BHK = nullptr;
    QComboBox* BExt = nullptr;
    QCheckBox *PV = nullptr, *pM = nullptr;
    ui::PanelBar *SF = nullptr, *SI = nullptr, *SO = nullptr;
    QSplitter* c_splitter = nullptr;
    QListView* FL = nullptr;
    ui::PreviewBox* BOX = nullptr;
    ui::ImagePane* IMG = nullptr;
    ui::TextPane* TXT = nullptr;
    QWidget* MPP = nullptr;
    ui::MediaPlayer* MPC = nullptr;
    QSlider* MPt = nullptr;
    QProgressBar* PB = nullptr;
    QTabWidget* Utility = nullptr;
    QTimer* TM = nullptr;

    WindowRig() = default;
    WindowRig(const WindowRig&) = delete;
    WindowRig& operator=(const WindowRig&) = delete;

    // The display folder as a path without the final "/".
    QString displayPath() const { return displayDir.path(); }

    void create() {
        auto* app = ui::HarpolyApplication::instance();
        windows = std::make_unique<ui::ProgramWindows>(
            ui::MainWindowPaths{program, program, settings}, app, clock);
        ta = &windows->main();
        full = &windows->fullScreen();
        hk = &windows->shortcutKeys();
        ta->setPrompter(&prompter);
        app->setErrorHandler([this](const std::string& k) {
            reported << QString::fromStdString(k);
            ta->reportError(k);
        });
        findControls();
    }
    void show() {
        ta->show();
        QVERIFY(QTest::qWaitForWindowExposed(ta));
    }
    // The activation as the application event delivers it: errors reported.
    void activate() {
        ui::runReported([this] { ta->refreshOnActivation(); });
    }
    // As the user starts the program: created, shown, brought to the front
    // (the first activation done now rather than in the middle of a test),
    // and the list read.
    void start() {
        create();
        show();
        if (QTest::currentTestFailed()) {
            return;
        }
        ta->activateWindow();
        (void)QTest::qWaitFor(
            [] { return QGuiApplication::applicationState() == Qt::ApplicationActive; }, 5000);
        QCoreApplication::processEvents();
        activate();
    }

    QString info() const { return SF->text(1); }
    QString elapsed() const { return SF->text(2); }
    // An item of the full-screen menu.
    QAction* item(const char* name) const { return ta->findChild<QAction*>(name); }

    int row(const QString& name) const {
        const FileListPort& list = ta->fileList();
        for (int i = 0; i < list.count(); ++i) {
            if (QString::fromStdString(list.name(i)) == name) {
                return i;
            }
        }
        return -1;
    }
    // A click on an entry of the list (errors go to the information panel).
    void click(const QString& name) const {
        const int r = row(name);
        if (r == ta->fileList().currentIndex()) {
            ta->previewCurrentEntry(); // a click on the current entry
        } else {
            FL->setCurrentIndex(FL->model()->index(r, 0));
        }
    }
    QString currentName() const {
        const int i = ta->fileList().currentIndex();
        return i < 0 ? QString() : QString::fromStdString(ta->fileList().name(i));
    }

    ~WindowRig() {
        if (ta != nullptr && ta->isVisible()) {
            ta->close();
        }
        windows.reset(); // the application's handlers go first
    }

private:
    template <typename T> void find(T*& control, const char* name) {
        control = ta->findChild<T*>(QString::fromLatin1(name));
        QVERIFY2(control != nullptr, name);
    }
    void findControls() {
        find(BI, "BI");
        find(BO, "BO");
        find(BF, "BF");
        find(BE, "BE");
        find(BHK, "BHK");
        find(BExt, "BExt");
        find(PV, "PV");
        find(pM, "pM");
        find(SF, "SF");
        find(SI, "SI");
        find(SO, "SO");
        find(c_splitter, "c_splitter");
        find(FL, "FL");
        find(BOX, "BOX");
        find(IMG, "IMG");
        find(TXT, "TXT");
        find(MPP, "MPP");
        find(MPC, "MPC");
        find(MPt, "MPt");
        find(PB, "PB");
        find(Utility, "Utility");
        find(TM, "TM");
    }
};

// The windows as most tests want them: the display folder filled by
// `prepare`, the settings with sound in the media list, the display folder
// and `setLines` in the [Set] section, and the program started.
struct StartedWindows : WindowRig {
    explicit StartedWindows(const std::function<void(const QString& folder)>& prepare = {},
                            const std::string& setLines = {}) {
        if (prepare) {
            prepare(displayPath());
        }
        writeFile(settings, kMediaSettings + "[Set]\r\nDir=" + display + "\r\n" + setLines);
        start();
    }
};

} // namespace harpoly::test

// A test program whose application is the program's own.
#define HARPOLY_WINDOW_TEST_MAIN(TestClass)                                                        \
    int main(int argc, char** argv) {                                                              \
        harpoly::ui::HarpolyApplication app(argc, argv);                                           \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        TestClass test;                                                                            \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
