#pragma once

#include "ui/browse/playback_engine.h"

#include <QPointer>
#include <QRect>
#include <QSize>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <string>

class QToolButton;

namespace harpoly::ui {

class VideoSurface;

// The media player `MPC`: a row of three buttons (play, stop, back) over a
// playback engine (see PlaybackEngine for what each call promises). Times are
// in milliseconds.
//
// Video is drawn into a surface placed on the display widget (the media
// panel) at the display rectangle, or over the whole display when told to
// fill it.
class MediaPlayer : public QWidget {
    Q_OBJECT
public:
    enum class Button { Play, Stop, Back };
    Q_ENUM(Button)

    // Plays through `engine`; without one, through the engine this build was
    // configured with.
    explicit MediaPlayer(QWidget* parent = nullptr, std::unique_ptr<PlaybackEngine> engine = {});
    ~MediaPlayer() override;

    // Opens `path` (file-system bytes), closing any file open before; raises
    // harpoly::Error(kind::MCIDevice) and leaves nothing open when the engine
    // refuses it.
    void open(const std::string& path);
    // Releases the file; nothing is open afterwards. Harmless when nothing is.
    void close();
    bool isOpen() const;

    void play();                // from the current position; from the start when at the end
    void stop();                // pauses; the position stays
    void back();                // to the start, stopped
    void seek(std::int64_t ms); // to `ms`, stopped there

    std::int64_t length() const;   // 0 when nothing is open
    std::int64_t position() const; // the length once the end is reached
    bool isPlaying() const;
    bool atEnd() const;
    // The video's own size; 0 by 0 for sound only or when nothing is open.
    QSize videoSize() const;

    // Where video is drawn: `display` holds the surface, `rect` places it.
    void setDisplay(QWidget* display);
    void setDisplayRect(const QRect& rect);
    QRect displayRect() const;
    // When on, the video covers the whole display and follows its size.
    void setFillDisplay(bool fill);
    QWidget* displaySurface() const;

    QToolButton* button(Button which) const;
    // Presses a button as a click does: clicked() first, then the action.
    void press(Button which);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    // Emitted when a button is pressed, before the player performs it.
    void clicked(harpoly::ui::MediaPlayer::Button button);

private:
    void placeSurface();

    std::unique_ptr<PlaybackEngine> engine_;
    QToolButton* buttons_[3] = {};
    // The surface lives on the display, which may delete it before the player.
    QPointer<VideoSurface> surface_;
    QRect displayRect_;
    bool fillDisplay_ = false;
};

} // namespace harpoly::ui
