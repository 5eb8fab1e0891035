#pragma once

#include <QList>
#include <QObject>
#include <functional>

class QCheckBox;
class QSplitter;

namespace harpoly {
class FileListPort;
}

namespace harpoly::ui {

class FullScreenMenu;
class FullScreenWindow;
class PreviewBox;
class Previewer;

// Full-screen view, on exactly while the preview area `BOX` sits on the
// full-screen window. Entering moves the area there (a stand-in keeps its
// place in the main window's splitter, whose sizes are kept), disables the
// main window and turns previews on and auto-play on, keeping the user's own
// check boxes `PV` and `pM` to give back on leaving. The menu's items step
// through the list, switch the picture mode and leave; so do the full-screen
// window's status bar and close box. Closing the main window while the view
// is on leaves it first, without a new preview, so that the settings get the
// user's own check boxes and the area is destroyed with the main window it
// belongs to.
class FullScreenMode : public QObject {
    Q_OBJECT
public:
    // What the view takes over from the main window.
    struct MainWindowParts {
        QWidget* window = nullptr;
        QCheckBox* previewOff = nullptr; // PV
        QCheckBox* autoPlay = nullptr;   // pM
        QSplitter* splitter = nullptr;   // holds the area in the main window
        PreviewBox* box = nullptr;
        Previewer* previewer = nullptr;
        const FileListPort* list = nullptr;
        // Previews the list's current entry, reporting its errors.
        std::function<void()> previewCurrentEntry;
        // Makes entry `index` current (the selection stays) and previews it.
        std::function<void(int index)> makeEntryCurrent;
    };

    FullScreenMode(MainWindowParts parts, FullScreenWindow& window, FullScreenMenu& menu);

    bool isOn() const;
    // Both do nothing when the view already is on or off.
    void enter();
    void leave();

    void showNextEntry();     // N1, wraps round
    void showPreviousEntry(); // N2, wraps round
    void togglePictureMode(); // N3: fit or natural size

private:
    // N1 and N2: the entry `step` gives becomes current, from the top left.
    void stepEntry(int (*step)(int current, int count));
    // The main window as it was before entering, the area back in its place.
    void restoreMainWindow();
    void returnPreviewArea();

    MainWindowParts main_;
    FullScreenWindow& window_;
    QList<int> savedSplitterSizes_;
    bool savedPreviewOff_ = false;
    bool savedAutoPlay_ = false;
};

} // namespace harpoly::ui
