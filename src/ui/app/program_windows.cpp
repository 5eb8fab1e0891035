#include "ui/app/program_windows.h"

#include "ui/app/harpoly_application.h"
#include "ui/fullscreen/full_screen_window.h"
#include "ui/fullscreen/shortcut_key_dialog.h"

namespace harpoly::ui {

ProgramWindows::ProgramWindows(MainWindowPaths paths, HarpolyApplication* app, Clock clock)
    : app_(app) {
    main_ = std::make_unique<MainWindow>(std::move(paths), std::move(clock));
    // Neither is a child of the main window: that one is disabled while they
    // are shown, and would disable them with it.
    fullScreen_ = std::make_unique<FullScreenWindow>();
    shortcutKeys_ = std::make_unique<ShortcutKeyDialog>(main_.get());
    main_->attachSecondaryWindows(*fullScreen_, *shortcutKeys_);
    if (app_ != nullptr) {
        MainWindow* main = main_.get();
        app_->setErrorHandler([main](const std::string& kindName) { main->reportError(kindName); });
        app_->setKeyHandler([main](int keyCode) { return main->handleShortcutKey(keyCode); });
    }
}

ProgramWindows::~ProgramWindows() {
    if (app_ != nullptr) {
        app_->setKeyHandler({});
        app_->setErrorHandler({});
    }
    shortcutKeys_.reset();
    fullScreen_.reset();
    main_.reset();
}

} // namespace harpoly::ui
