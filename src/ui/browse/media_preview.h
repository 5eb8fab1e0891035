#pragma once

#include "ui/browse/media_player.h"

#include <QObject>
#include <string>

class QTimer;

namespace harpoly::ui {

class PreviewBox;
class PreviewStatus;

// Media in the preview area: opening a file for the preview, the player's
// buttons, the position slider `MPt` and the 500 ms position timer `TM`,
// which moves the slider and writes the elapsed time.
//
// `home` is the main window. While the preview area sits on another window
// (full-screen view) the video covers the whole area, the slider shows the
// position but never seeks, and the buttons leave the focus where it is.
class MediaPreview : public QObject {
    Q_OBJECT
public:
    MediaPreview(PreviewBox& box, QWidget& home, PreviewStatus& status);

    // Opens the file of the preview and writes its information line
    // (`sizeText` is the file's size text), shows the media panel, starts
    // the timer and, with `autoPlay`, plays. A file the player refuses raises
    // EMCIDeviceError with the panel hidden and the timer stopped.
    void open(const std::string& path, const std::string& sizeText, bool autoPlay);
    // Closes the file (the device is released) and stops the timer.
    void stop();
    bool isOpen() const;

private:
    void buttonPressed(MediaPlayer::Button button);
    void sliderMoved();
    void showPosition();
    bool onHomeWindow() const;

    PreviewBox& box_;
    QWidget& home_;
    PreviewStatus& status_;
    QTimer* timer_ = nullptr;
};

} // namespace harpoly::ui
