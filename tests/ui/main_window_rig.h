#pragma once

// The main window on its own temporary program and display folders, wired to
// the application as the real start-up does, with the small file helpers the
// main-window tests share. The test program's application must be a
// HarpolyApplication.

#include "ui/app/harpoly_application.h"
#include "ui/app/panel_bar.h"
#include "ui/app/ta.h"
#include "core/app/ui_ports.h"
#include "ui/fullscreen/tfull.h"
#include "ui/fullscreen/thk.h"
#include "core/settings/settings.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>
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

// Answers every question with a fixed choice and records what was shown.
class RecordingPrompter : public Prompter {
public:
    bool answer = true;
    QStringList asked;
    QStringList notices;
    bool ask(const std::string& question, const std::string& caption, const std::string&) override {
        asked << QString::fromStdString(caption + "|" + question);
        return answer;
    }
    void notice(const std::string& text, const std::string& caption) override {
        notices << QString::fromStdString(caption + "|" + text);
    }
};

// The windows are made by create(); the settings file is the test's to write.
struct MainWindowRig {
    QTemporaryDir programDir;
    QTemporaryDir displayDir;
    std::string program = folderOf(programDir);
    std::string display = folderOf(displayDir);
    std::string settings = program + "harpoly.ini";
    std::unique_ptr<ui::TA> ta;
    std::unique_ptr<ui::TFull> full;
    std::unique_ptr<ui::THK> hk;
    RecordingPrompter prompter;
    QStringList reported; // what reached the application's error handler

    MainWindowRig() = default;
    MainWindowRig(const MainWindowRig&) = delete;
    MainWindowRig& operator=(const MainWindowRig&) = delete;

    void create() {
        ta = std::make_unique<ui::TA>(ui::TAPaths{program, program, settings});
        full = std::make_unique<ui::TFull>(ta.get());
        hk = std::make_unique<ui::THK>(ta.get(), ta.get());
        ta->setSecondaryWindows(full.get(), hk.get());
        ta->setPrompter(&prompter);
        auto* app = ui::HarpolyApplication::instance();
        app->setErrorHandler([this](const std::string& k) {
            reported << QString::fromStdString(k);
            ta->AEException(k);
        });
        app->setKeyHandler([this](int code) { return ta->AEShortCut(code); });
    }
    void show() {
        ta->show();
        QVERIFY(QTest::qWaitForWindowExposed(ta.get()));
    }
    // The activation as the application event delivers it: errors reported.
    void activate() {
        ui::runReported([this] { ta->AEActivate(); });
    }
    QString info() const { return ta->SF->text(1); }

    ~MainWindowRig() {
        auto* app = ui::HarpolyApplication::instance();
        app->setErrorHandler({});
        app->setKeyHandler({});
        hk.reset();
        full.reset();
        ta.reset();
    }
};

} // namespace harpoly::test
