#pragma once

#include "ui/app/main_window.h"

#include <memory>

namespace harpoly::ui {

class FullScreenWindow;
class HarpolyApplication;
class ShortcutKeyDialog;

// The three windows of a run, built and wired as start-up does: the main
// window `TA`, the full-screen window `TFull` and the shortcut-key dialog
// `THK`, created in that order (the last two hidden; a folder chooser is made
// anew for each use). The application's error handler and key handler go to
// the main window. On destruction the handlers are removed first, then the
// windows go in reverse order.
class ProgramWindows {
public:
    // `app` may be null (a plain QApplication): then nothing is routed. An
    // empty `clock` is the system's.
    ProgramWindows(MainWindowPaths paths, HarpolyApplication* app, Clock clock = {});
    ~ProgramWindows();
    ProgramWindows(const ProgramWindows&) = delete;
    ProgramWindows& operator=(const ProgramWindows&) = delete;

    MainWindow& main() const { return *main_; }
    FullScreenWindow& fullScreen() const { return *fullScreen_; }
    ShortcutKeyDialog& shortcutKeys() const { return *shortcutKeys_; }

private:
    HarpolyApplication* app_;
    std::unique_ptr<MainWindow> main_;
    std::unique_ptr<FullScreenWindow> fullScreen_;
    std::unique_ptr<ShortcutKeyDialog> shortcutKeys_;
};

} // namespace harpoly::ui
