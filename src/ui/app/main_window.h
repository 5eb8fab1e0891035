#pragma once

#include "ui/app/main_services.h"
#include "ui/browse/preview_status.h"

#include <QWidget>
#include <memory>
#include <string>

class QCheckBox;
class QComboBox;
class QSplitter;

namespace harpoly {
struct Settings;
} // namespace harpoly

namespace harpoly::ui {

class BusyDisplay;
class FileListView;
class FullScreenMenu;
class FullScreenMode;
class FullScreenWindow;
class MessageBoxPrompter;
class PanelBar;
class PreviewBox;
class Previewer;
class ShortcutKeyDialog;
class ToolStrip;

inline constexpr const char* kAppTitle = "Harpoly - ビューアーとユーティリティー - 1.00版";
inline constexpr const char* kDisplayChooserCaption = "表示フォルダの選択";
inline constexpr const char* kOutputChooserCaption = "出力フォルダの選択";

// Where the main window keeps its settings. `programFolder` is the folder of
// the executable; `defaultFolder` is the default and fallback display and
// output folder (the program folder for a portable copy, else the home
// folder). Both end with "/".
struct MainWindowPaths {
    std::string programFolder;
    std::string defaultFolder;
    std::string settingsPath;
};

// The main window `TA`: the top panel (folder, full-screen, close and key
// buttons, the filter box `BExt`, the check boxes `PV` and `pM`), the file
// information bar `SF`, the file list `FL` beside the preview area `BOX`, the
// folder lines `SI` and `SO`, and the tool strip `Utility`. It holds the
// working state (the folders, the settings it loads and saves) and routes the
// events of the list and the buttons; the preview, full-screen view, the busy
// indicator and the tool tabs are classes of their own. Its controls are
// reached by their object names.
class MainWindow : public QWidget, public MainServices, private PreviewStatus {
    Q_OBJECT
public:
    // Builds the window and loads the settings into it. `paths` and `clock`
    // are injectable so that tests run on temporary folders and settings
    // files, at a moment of their choice; an empty clock is the system's.
    explicit MainWindow(MainWindowPaths paths, Clock clock = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Takes the full-screen window and the shortcut-key dialog, created
    // after the main window. Neither may be a child of this window: it is
    // disabled while they are shown, and would disable them with it.
    void attachSecondaryWindows(FullScreenWindow& fullScreen, ShortcutKeyDialog& shortcutKeys);

    // ---- application events
    // Each time the program comes to the front, unless a media file is open:
    // a folder that has gone away is replaced by the default folder, and the
    // list is read again, keeping the current item by its name.
    void refreshOnActivation();
    // The application-wide error handler: one line in the information panel.
    void reportError(const std::string& kindName);
    // The key handler of every window, given the Windows key code; runs the
    // function-key commands. True when the key is swallowed.
    bool handleShortcutKey(int keyCode);

    // ---- commands of the buttons and function keys
    void chooseDisplayFolder();   // BI, F7
    void chooseOutputFolder();    // BO, F8
    void enterFullScreen();       // BF, F9 (BE and F10 close the window)
    void openShortcutKeyDialog(); // BHK, F12
    // Takes over the folder a chooser confirmed; its caption tells which.
    void applyChosenFolder(const QString& caption, const std::string& path);

    // ---- working state
    // The prompts go to `prompter` when one is set (tests answer there), else
    // to real message boxes.
    void setPrompter(Prompter* prompter) { testPrompter_ = prompter; }
    void setDisplayFolder(const std::string& folder);
    void setOutputFolder(const std::string& folder);
    // The current item's name; empty when there is none.
    std::string currentEntryName() const;
    // Moves the current item without touching the selection and previews it.
    void makeEntryCurrent(int index);
    // Whether the media player has a file open.
    bool mediaOpen() const;
    // Whether the preview area sits on the full-screen window.
    bool fullScreenOn() const;
    // The full-screen menu with its changeable keys.
    FullScreenMenu& fullScreenMenu() { return *menu_; }

    // ---- MainServices
    Prompter& prompter() override;
    BusyIndicator& busy() override;
    FileListPort& fileList() override;
    std::string programFolder() const override { return paths_.defaultFolder; }
    std::string displayFolder() const override { return displayFolder_; }
    std::string outputFolder() const override { return outputFolder_; }
    std::string settingsPath() const override { return paths_.settingsPath; }
    void previewCurrentEntry() override;
    void showInfo(const std::string& text) override;
    QWidget* mainWindow() override { return this; }
    QDateTime now() const override;

signals:
    // The window has closed (after its settings were saved): the run ends.
    void closed();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* buildTopPanel();
    QSplitter* buildMiddle();
    void connectList();
    void loadSettings();
    void applySettings(const Settings& settings);
    Settings currentSettings() const;
    // The progress bar and the media slider follow the preview area's width.
    void fitBarsToPreviewArea();
    void chooseFolder(bool displayFolder);

    // PreviewStatus
    void showElapsed(const QString& text) override;
    void showFullScreenName(const QString& text) override;
    // Writes a panel of the information bar, and of the full-screen window's
    // while the view is on.
    void writeStatus(int panel, const QString& text);

    MainWindowPaths paths_;
    Clock clock_;
    std::string displayFolder_;
    std::string outputFolder_;
    bool closed_ = false;

    QComboBox* filterBox_ = nullptr;       // BExt
    QCheckBox* previewOffBox_ = nullptr;   // PV
    QCheckBox* autoPlayBox_ = nullptr;     // pM
    PanelBar* infoBar_ = nullptr;          // SF: caption, information, elapsed time
    QSplitter* splitter_ = nullptr;        // c_splitter
    FileListView* list_ = nullptr;         // FL
    PreviewBox* box_ = nullptr;            // BOX
    PanelBar* displayFolderBar_ = nullptr; // SI
    PanelBar* outputFolderBar_ = nullptr;  // SO
    ToolStrip* toolStrip_ = nullptr;       // Utility

    std::unique_ptr<Previewer> previewer_;
    std::unique_ptr<BusyDisplay> busy_;
    std::unique_ptr<FullScreenMenu> menu_;
    std::unique_ptr<MessageBoxPrompter> boxPrompter_;
    Prompter* testPrompter_ = nullptr;
    FullScreenWindow* fullScreenWindow_ = nullptr;
    ShortcutKeyDialog* shortcutKeys_ = nullptr;
    FullScreenMode* fullScreen_ = nullptr; // a child of this window, once attached
    // The entry last previewed and the way the user last moved in the list,
    // which the read-ahead of pictures follows.
    int lastPreviewedIndex_ = -1;
    int travelDirection_ = 1;
};

} // namespace harpoly::ui
