#include "ui/browse/media_player.h"

#include "ui/browse/playback_engine.h"

#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QStyle>
#include <QToolButton>

namespace harpoly::ui {

// The widget the video is drawn on. The engine draws each new frame at the
// surface's size (stretched over it: in the main window the surface has the
// video's own size, in full-screen mode it covers the whole area), away from
// the window thread; the player tells the surface when one is there, and
// paintEvent shows the latest.
class VideoSurface : public QWidget {
public:
    explicit VideoSurface(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAutoFillBackground(false);
    }

    // The engine to take frames from; null once the player lets it go.
    void setEngine(PlaybackEngine* engine) {
        engine_ = engine;
        if (engine_ != nullptr) {
            engine_->setFrameSize(frameSize());
        }
    }

    // Takes the engine's latest frame.
    void takeFrame() {
        if (engine_ == nullptr) {
            return;
        }
        frame_ = engine_->frame();
        update();
    }

    void clearFrame() {
        frame_ = QImage();
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        if (frame_.isNull()) {
            painter.fillRect(rect(), Qt::black);
        } else if (frame_.size() == size()) {
            painter.drawImage(0, 0, frame_);
        } else {
            // Drawn for the size before a resize, until the next frame.
            painter.drawImage(rect(), frame_);
        }
    }

    void resizeEvent(QResizeEvent*) override {
        if (engine_ != nullptr) {
            engine_->setFrameSize(frameSize()); // the current frame comes again at this size
        }
    }

private:
    QSize frameSize() const { return size().expandedTo(QSize(1, 1)); }

    PlaybackEngine* engine_ = nullptr;
    QImage frame_;
};

MediaPlayer::MediaPlayer(QWidget* parent, std::unique_ptr<PlaybackEngine> engine)
    : QWidget(parent), engine_(engine ? std::move(engine) : makePlaybackEngine()) {
    const QStyle::StandardPixmap icons[] = {QStyle::SP_MediaPlay, QStyle::SP_MediaStop,
                                            QStyle::SP_MediaSkipBackward};
    const char* names[] = {"play", "stop", "back"};
    for (int i = 0; i < 3; ++i) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(names[i]));
        b->setIcon(style()->standardIcon(icons[i]));
        b->setAutoRaise(false);
        b->setFocusPolicy(Qt::NoFocus);
        b->setGeometry(i * 28, 0, 28, 20);
        const auto which = static_cast<Button>(i);
        connect(b, &QToolButton::clicked, this, [this, which] { press(which); });
        buttons_[i] = b;
    }
    setFocusPolicy(Qt::StrongFocus);
    resize(85, 20);

    surface_ = new VideoSurface(this);
    surface_->hide();
    surface_->setEngine(engine_.get());
    engine_->setFrameHandler([this] {
        if (surface_) {
            surface_->takeFrame();
        }
    });
}

MediaPlayer::~MediaPlayer() {
    engine_->setFrameHandler({});
    if (surface_) {
        surface_->setEngine(nullptr);
    }
    engine_.reset();
    delete surface_.data(); // unless the display has deleted it already
}

void MediaPlayer::open(const std::string& path) {
    close();
    engine_->open(path);
    if (surface_) {
        surface_->clearFrame();
        surface_->setVisible(surface_->parentWidget() != this && !videoSize().isEmpty());
    }
}

void MediaPlayer::close() {
    engine_->close();
    if (surface_) {
        surface_->clearFrame();
        surface_->hide();
    }
}

bool MediaPlayer::isOpen() const {
    return engine_->isOpen();
}

void MediaPlayer::play() {
    engine_->play();
}

void MediaPlayer::stop() {
    engine_->stop();
}

void MediaPlayer::back() {
    seek(0);
}

void MediaPlayer::seek(std::int64_t ms) {
    engine_->seek(ms);
}

std::int64_t MediaPlayer::length() const {
    return engine_->length();
}

std::int64_t MediaPlayer::position() const {
    return engine_->position();
}

bool MediaPlayer::isPlaying() const {
    return engine_->isPlaying();
}

bool MediaPlayer::atEnd() const {
    return engine_->atEnd();
}

QSize MediaPlayer::videoSize() const {
    return engine_->videoSize();
}

void MediaPlayer::setDisplay(QWidget* display) {
    if (!surface_) {
        return;
    }
    if (QWidget* old = surface_->parentWidget(); old != this) {
        old->removeEventFilter(this);
    }
    surface_->setParent(display ? display : this);
    if (display) {
        display->installEventFilter(this);
    }
    placeSurface();
    surface_->setVisible(display && isOpen() && !videoSize().isEmpty());
}

void MediaPlayer::setDisplayRect(const QRect& rect) {
    displayRect_ = rect;
    placeSurface();
}

void MediaPlayer::setFillDisplay(bool fill) {
    fillDisplay_ = fill;
    placeSurface();
}

void MediaPlayer::placeSurface() {
    if (!surface_) {
        return;
    }
    QWidget* display = surface_->parentWidget();
    surface_->setGeometry(fillDisplay_ && display != this ? display->rect() : displayRect_);
    surface_->lower(); // the buttons and anything else on the display stay on top
}

bool MediaPlayer::eventFilter(QObject* watched, QEvent* event) {
    if (fillDisplay_ && surface_ && watched == surface_->parentWidget() &&
        event->type() == QEvent::Resize) {
        placeSurface();
    }
    return QWidget::eventFilter(watched, event);
}

QRect MediaPlayer::displayRect() const {
    return surface_ ? surface_->geometry() : displayRect_;
}

QWidget* MediaPlayer::displaySurface() const {
    return surface_;
}

QToolButton* MediaPlayer::button(Button which) const {
    return buttons_[static_cast<int>(which)];
}

void MediaPlayer::press(Button which) {
    emit clicked(which);
    switch (which) {
    case Button::Play:
        play();
        break;
    case Button::Stop:
        stop();
        break;
    case Button::Back:
        back();
        break;
    }
}

} // namespace harpoly::ui
