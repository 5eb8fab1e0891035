#pragma once

#include <QScrollArea>

class QProgressBar;
class QSlider;

namespace harpoly::ui {

class ImagePane;
class MediaPlayer;
class TextPane;

// The preview area `BOX`: a scrolling area, white when idle, holding the
// overlapping panes that fill it: the picture `IMG`, the text `TXT`, the
// media panel `MPP` (with the player `MPC` and the track bar `MPt`), and the
// progress bar `PB` of the batch operations on top.
class PreviewBox : public QScrollArea {
    Q_OBJECT
public:
    explicit PreviewBox(QWidget* parent = nullptr);

    ImagePane* picturePane() const { return picture_; }     // IMG
    TextPane* textPane() const { return text_; }            // TXT
    QWidget* mediaPanel() const { return mediaPanel_; }     // MPP
    MediaPlayer* player() const { return player_; }         // MPC, draws its video on MPP
    QSlider* slider() const { return slider_; }             // MPt
    QProgressBar* progressBar() const { return progress_; } // PB

    // Hides the picture, text and media panes and empties the picture and
    // the text.
    void clearPanes();
    // In the main window: a single-line border, white (or the busy colour).
    // In full-screen view: no border, black.
    void setFullScreenLook(bool on);
    // Idle: white. Busy: the button-face colour.
    void setBusyColour(bool busy);
    bool busyColour() const { return busy_; }
    // The size the panes have to fill (the visible part of the box).
    QSize paneSize() const;

private:
    QWidget* surface_ = nullptr;
    ImagePane* picture_ = nullptr;
    TextPane* text_ = nullptr;
    QWidget* mediaPanel_ = nullptr;
    MediaPlayer* player_ = nullptr;
    QSlider* slider_ = nullptr;
    QProgressBar* progress_ = nullptr;
    bool busy_ = false;
};

} // namespace harpoly::ui
