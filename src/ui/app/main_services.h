#pragma once

#include <string>

class QWidget;

namespace harpoly {
class Prompter;
class BusyIndicator;
class FileListPort;
} // namespace harpoly

namespace harpoly::ui {

// What the tool tabs and secondary windows need of the main window `TA`.
class MainServices {
public:
    virtual ~MainServices() = default;
    virtual Prompter& prompter() = 0;
    virtual BusyIndicator& busy() = 0;  // BeginBusy / step / EndBusy
    virtual FileListPort& fileList() = 0; // FL; refresh() is RefreshFileList
    virtual std::string programFolder() const = 0; // ends with "/"
    virtual std::string displayFolder() const = 0; // ends with "/" when set by the program
    virtual std::string outputFolder() const = 0;
    virtual std::string settingsPath() const = 0;  // harpoly.ini
    virtual void previewCurrent() = 0;             // FLClick
    virtual void showInfo(const std::string& text) = 0; // SetInfoText
    virtual QWidget* mainWindow() = 0;
};

} // namespace harpoly::ui
