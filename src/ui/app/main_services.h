#pragma once

#include <QDateTime>
#include <functional>
#include <string>

class QWidget;

namespace harpoly {
class Prompter;
class BusyIndicator;
class FileListPort;
} // namespace harpoly

namespace harpoly::ui {

// The moment now. The program reads the system clock; tests set their own.
using Clock = std::function<QDateTime()>;

// What the tool tabs need of the main window `TA`.
class MainServices {
public:
    virtual ~MainServices() = default;
    virtual Prompter& prompter() = 0;
    virtual BusyIndicator& busy() = 0;             // on the preview area
    virtual FileListPort& fileList() = 0;          // FL; refresh() re-reads the display folder
    virtual std::string programFolder() const = 0; // ends with "/"
    virtual std::string displayFolder() const = 0; // ends with "/" when set by the program
    virtual std::string outputFolder() const = 0;
    virtual std::string settingsPath() const = 0; // harpoly.ini
    // Previews the current entry again; its errors are reported, not thrown.
    virtual void previewCurrentEntry() = 0;
    // Writes the information line.
    virtual void showInfo(const std::string& text) = 0;
    virtual QWidget* mainWindow() = 0;
    // The moment now (the timestamp tab's pickers start there).
    virtual QDateTime now() const = 0;
};

} // namespace harpoly::ui
