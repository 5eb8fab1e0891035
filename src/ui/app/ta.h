#pragma once

#include "core/app/ui_ports.h"
#include "core/browse/category_lists.h"
#include "core/settings/shortcut_code.h"
#include "ui/app/main_services.h"
#include "ui/app/tool_tabs.h"
#include "ui/browse/preview_status.h"

#include <QWidget>
#include <array>
#include <memory>
#include <string>

class QAction;
class QCheckBox;
class QComboBox;
class QListView;
class QMenu;
class QProgressBar;
class QPushButton;
class QSlider;
class QSplitter;
class QTabWidget;
class QTextEdit;
class QTimer;

namespace harpoly {
struct Settings;
struct DecodedPicture;
} // namespace harpoly

namespace harpoly::ui {

class FileListItemModel;
class FullScreenMenu;
class FullScreenMode;
class ImagePane;
class MediaPlayer;
class MessageBoxPrompter;
class PanelBar;
class PreviewBox;
class Previewer;
class TFull;
class THK;

inline constexpr const char* kAppTitle = "Harpoly - ビューアーとユーティリティー - 1.00版";
inline constexpr const char* kDisplayChooserCaption = "表示フォルダの選択";
inline constexpr const char* kOutputChooserCaption = "出力フォルダの選択";

// Where the main window keeps its settings. `programFolder` is the folder of
// the executable; `defaultFolder` is the default and fallback display and
// output folder (the program folder for a portable copy, else the home
// folder). Both end with "/".
struct TAPaths {
    std::string programFolder;
    std::string defaultFolder;
    std::string settingsPath;
};

// The main window.
class TA : public QWidget, public MainServices, private BusyIndicator, private PreviewStatus {
    Q_OBJECT
public:
    // Builds the window and runs FormCreate. `paths` is injectable so that
    // tests run on temporary folders and settings files.
    explicit TA(TAPaths paths, QWidget* parent = nullptr);
    ~TA() override;

    // The secondary windows, created after the main window.
    void setSecondaryWindows(TFull* full, THK* hk);

    // ---- controls, named as in the form
    QWidget* P = nullptr;
    QPushButton* BI = nullptr;
    QPushButton* BO = nullptr;
    QPushButton* BF = nullptr;
    QPushButton* BE = nullptr;
    QPushButton* BHK = nullptr;
    QComboBox* BExt = nullptr;
    QCheckBox* PV = nullptr;
    QCheckBox* pM = nullptr;
    PanelBar* SF = nullptr; // panels: caption, information, elapsed time
    QSplitter* c_splitter = nullptr;
    QListView* FL = nullptr;
    PreviewBox* BOX = nullptr;
    ImagePane* IMG = nullptr;
    QTextEdit* TXT = nullptr;
    QWidget* MPP = nullptr;
    MediaPlayer* MPC = nullptr;
    QSlider* MPt = nullptr;
    QProgressBar* PB = nullptr;
    PanelBar* SI = nullptr;
    PanelBar* SO = nullptr;
    QTabWidget* Utility = nullptr;

    // ---- application events and form events
    void FormCreate();
    void AEActivate();
    void AEException(const std::string& kindName);
    void FormResize();
    void FormClose();
    // The key handler of every window; true when the key is swallowed.
    bool AEShortCut(int keyCode);

    // ---- file list and preview
    void RefreshFileList(const std::string& name);
    std::string SelectedName(int index) const;
    void FLClick();
    void SetInfoText(const std::string& text);
    void BExtChange();

    // ---- commands, prompts, busy indicator, folders
    bool ConfirmAction(const std::string& question, const std::string& caption,
                       bool requireSelection, const std::string& detail = {});
    void ShowNotice(const std::string& text, const std::string& caption);
    void BeginBusy();
    void EndBusy();
    void OpenFolderChooser(bool displayFolder);
    void ApplyChosenFolder(const QString& caption, const std::string& path);

    // The prompts go to `prompter` when one is set (tests answer there), else
    // to real message boxes.
    void setPrompter(Prompter* prompter) { testPrompter_ = prompter; }

    // ---- working state
    const std::string& programFolderPath() const { return paths_.programFolder; }
    void setDisplayFolder(const std::string& folder);
    void setOutputFolder(const std::string& folder);
    // Whether the media player has a file open; the activation leaves the
    // list alone meanwhile.
    bool mediaOpen() const;
    // Whether the preview box sits on the full-screen window.
    bool fullScreenOn() const;
    // The full-screen menu with its changeable keys.
    FullScreenMenu& fullScreenMenu() { return *menu_; }
    TFull* fullWindow() const { return full_; }
    THK* hotKeyDialog() const { return hk_; }
    FileListItemModel& fileListModel() { return *listModel_; }
    // Moves the current item without touching the selection and previews it.
    void setCurrentItem(int index);

    // ---- MainServices
    Prompter& prompter() override;
    BusyIndicator& busy() override { return *this; }
    FileListPort& fileList() override;
    std::string programFolder() const override { return paths_.defaultFolder; }
    std::string displayFolder() const override { return displayFolder_; }
    std::string outputFolder() const override { return outputFolder_; }
    std::string settingsPath() const override { return paths_.settingsPath; }
    void previewCurrent() override; // FLClick, its errors reported
    void showInfo(const std::string& text) override { SetInfoText(text); }
    QWidget* mainWindow() override { return this; }

signals:
    // The window has closed (after its settings were saved): the run ends.
    void formClosed();

public slots:
    void BIClick();
    void BOClick();
    void BFClick();
    void BEClick();
    void BHKClick();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildTopPanel();
    void buildMiddle();
    void buildToolStrip();
    void applySettings(const Settings& settings);
    Settings currentSettings() const;
    void syncViewToModel();
    void onViewCurrentChanged(int row);
    void onViewSelectionChanged();
    void connectSignals();

    // BusyIndicator
    void begin(int steps) override;
    void step() override;
    void end() override;

    // PreviewStatus
    void showElapsed(const QString& text) override;
    void showFullScreenName(const QString& text) override;

    TAPaths paths_;
    std::string displayFolder_;
    std::string outputFolder_;
    bool syncingView_ = false;
    // The list's current row when the mouse was last pressed on it.
    int rowAtPress_ = -1;
    bool closed_ = false;

    std::unique_ptr<FileListItemModel> listModel_;
    std::unique_ptr<Previewer> previewer_;
    std::unique_ptr<FullScreenMenu> menu_;
    FullScreenMode* fullScreen_ = nullptr; // owned by this window, once the windows are attached
    std::unique_ptr<MessageBoxPrompter> boxPrompter_;
    Prompter* testPrompter_ = nullptr;
    std::vector<ToolTab> tabs_;
    TFull* full_ = nullptr;
    THK* hk_ = nullptr;
};

} // namespace harpoly::ui
