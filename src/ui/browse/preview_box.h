#pragma once

#include <QScrollArea>

class QProgressBar;
class QSlider;
class QTextEdit;

namespace harpoly::ui {

class ImagePane;
class MediaPlayer;

// The preview area `BOX`: a scrolling area, white when idle, holding the
// overlapping panes that fill it: the picture `IMG`, the text `TXT`, the
// media panel `MPP` (with the player `MPC` and the track bar `MPt`), and the
// progress bar `PB` of the batch operations on top.
class PreviewBox : public QScrollArea {
    Q_OBJECT
public:
    explicit PreviewBox(QWidget* parent = nullptr);

    ImagePane* IMG = nullptr;
    QTextEdit* TXT = nullptr;
    QWidget* MPP = nullptr;
    MediaPlayer* MPC = nullptr; // draws its video on MPP
    QSlider* MPt = nullptr;
    QProgressBar* PB = nullptr;

    // Hides the picture, text and media panes and empties the picture and
    // the text.
    void clearPanes();
    // A single-line border (main window) or none (full-screen view).
    void setFramed(bool framed);
    // Idle: white. Busy: the button-face colour.
    void setBusyColour(bool busy);
    bool busyColour() const { return busy_; }
    // The size the panes have to fill (the visible part of the box).
    QSize paneSize() const;

private:
    QWidget* surface_ = nullptr;
    bool busy_ = false;
};

} // namespace harpoly::ui
