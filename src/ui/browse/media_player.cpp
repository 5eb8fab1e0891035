#include "ui/browse/media_player.h"

#include "core/errors.h"

#include <QGuiApplication>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QStyle>
#include <QToolButton>

#include <algorithm>
#include <chrono>
#include <optional>

#ifdef HARPOLY_HAVE_MPV
#include <mpv/client.h>
#include <mpv/render.h>
#endif

namespace harpoly::ui {

namespace {
// How long open() waits for the engine to load a file before it gives up.
constexpr std::chrono::milliseconds kOpenTimeout{10000};
} // namespace

// The widget the video is drawn on. The engine renders each new frame into an
// image of the surface's size (stretched over it: in the main window the surface
// has the video's own size, in full-screen mode it covers the whole area);
// paintEvent shows it.
// The player feeds it frames; it never talks to the engine on its own.
class VideoSurface : public QWidget {
public:
    explicit VideoSurface(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAutoFillBackground(false);
    }

#ifdef HARPOLY_HAVE_MPV
    // The engine's render context; null once the player lets it go.
    void setRenderContext(mpv_render_context* context) {
        context_ = context;
    }

    // Draws the engine's current frame at the surface's size.
    void renderFrame() {
        if (!context_) {
            return;
        }
        const QSize size = this->size().expandedTo(QSize(1, 1));
        if (frame_.size() != size) {
            frame_ = QImage(size, QImage::Format_RGB32);
        }
        int sw[2] = {size.width(), size.height()};
        size_t stride = static_cast<size_t>(frame_.bytesPerLine());
        // QImage::Format_RGB32 is 0xffRRGGBB per pixel: B, G, R, X in memory.
        char format[] = "bgr0";
        mpv_render_param params[] = {
            {MPV_RENDER_PARAM_SW_SIZE, sw},        {MPV_RENDER_PARAM_SW_FORMAT, format},
            {MPV_RENDER_PARAM_SW_STRIDE, &stride}, {MPV_RENDER_PARAM_SW_POINTER, frame_.bits()},
            {MPV_RENDER_PARAM_INVALID, nullptr},
        };
        mpv_render_context_render(context_, params);
        update();
    }
#endif

    void clearFrame() {
        frame_ = QImage();
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        if (frame_.isNull()) {
            painter.fillRect(rect(), Qt::black);
        } else {
            painter.drawImage(0, 0, frame_);
        }
    }

    void resizeEvent(QResizeEvent*) override {
#ifdef HARPOLY_HAVE_MPV
        if (!frame_.isNull()) {
            renderFrame(); // redraws the current frame at the new size
        }
#endif
    }

private:
#ifdef HARPOLY_HAVE_MPV
    mpv_render_context* context_ = nullptr;
#endif
    QImage frame_;
};

#ifdef HARPOLY_HAVE_MPV

struct MediaPlayer::Engine {
    mpv_handle* mpv = nullptr;
    mpv_render_context* render = nullptr;
    bool loaded = false;
    std::int64_t entryId = -1; // the engine's id of the open file
    std::int64_t length = 0;
    QSize size{0, 0};
    // While stopped the position is held here, so that it reads exactly what
    // open, stop, back or a seek left (the engine may still be on its way).
    std::optional<std::int64_t> held;
    bool seekPending = false;      // until the engine reports it has arrived
    std::int64_t lastPosition = 0; // what position() says once the file is gone

    ~Engine() {
        // The render context must go before the core it belongs to.
        if (render) {
            mpv_render_context_free(render);
        }
        if (mpv) {
            mpv_terminate_destroy(mpv);
        }
    }

    bool flag(const char* name) const {
        int value = 0;
        return mpv_get_property(mpv, name, MPV_FORMAT_FLAG, &value) >= 0 && value != 0;
    }

    std::optional<double> number(const char* name) const {
        double value = 0;
        if (mpv_get_property(mpv, name, MPV_FORMAT_DOUBLE, &value) < 0) {
            return std::nullopt;
        }
        return value;
    }

    std::int64_t integer(const char* name) const {
        std::int64_t value = 0;
        return mpv_get_property(mpv, name, MPV_FORMAT_INT64, &value) >= 0 ? value : 0;
    }

    void setPaused(bool paused) {
        int value = paused ? 1 : 0;
        mpv_set_property(mpv, "pause", MPV_FORMAT_FLAG, &value);
    }

    void seekTo(std::int64_t ms) {
        const std::string seconds = std::to_string(static_cast<double>(ms) / 1000.0);
        const char* cmd[] = {"seek", seconds.c_str(), "absolute+exact", nullptr};
        if (mpv_command(mpv, cmd) >= 0) {
            held = ms;
            seekPending = true;
        }
    }

    void unload() {
        if (loaded) {
            const char* cmd[] = {"stop", nullptr};
            mpv_command(mpv, cmd);
        }
        loaded = false;
        entryId = -1;
        length = 0;
        size = QSize(0, 0);
        held.reset();
        seekPending = false;
        lastPosition = 0;
    }
};

namespace {

mpv_handle* createCore() {
    mpv_handle* mpv = mpv_create();
    if (!mpv) {
        return nullptr;
    }
    const std::pair<const char*, const char*> options[] = {
        {"config", "no"}, // no user configuration or scripts
        {"load-scripts", "no"},
        {"ytdl", "no"},
        {"terminal", "no"},
        {"msg-level", "all=no"},
        {"input-default-bindings", "no"},
        {"input-vo-keyboard", "no"},
        {"osc", "no"},              // and none of the built-in scripts
        {"load-stats-overlay", "no"},
        {"load-osd-console", "no"},
        {"load-auto-profiles", "no"},
        {"osd-level", "0"},
        {"idle", "yes"},         // stay alive with nothing loaded
        {"keep-open", "yes"},    // stop at the end, keep the file and its last frame
        {"pause", "yes"},        // a file opens stopped at its start
        {"audio-display", "no"}, // cover art of a sound file is not video
        {"sub-auto", "no"},
        {"audio-file-auto", "no"},
        {"hwdec", "no"},
        {"keepaspect", "no"}, // the picture fills the surface it is given
        {"vo", "libmpv"},
        {"sw-fast", "yes"},
        {"audio-fallback-to-null", "yes"}, // no audio device: decode and drop
        {"audio-client-name", "harpoly"},
    };
    for (const auto& [name, value] : options) {
        mpv_set_option_string(mpv, name, value);
    }
    // Qt's offscreen platform means no desktop and, as a rule, no sound
    // server: decode sound without probing for a device.
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
        mpv_set_option_string(mpv, "ao", "null");
    }
    if (mpv_initialize(mpv) < 0) {
        mpv_terminate_destroy(mpv);
        return nullptr;
    }
    return mpv;
}

} // namespace

#else

struct MediaPlayer::Engine {};

#endif

MediaPlayer::MediaPlayer(QWidget* parent) : QWidget(parent), engine_(std::make_unique<Engine>()) {
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

#ifdef HARPOLY_HAVE_MPV
    engine_->mpv = createCore();
    if (!engine_->mpv) {
        return;
    }
    char apiType[] = MPV_RENDER_API_TYPE_SW;
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_API_TYPE, apiType},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    if (mpv_render_context_create(&engine_->render, engine_->mpv, params) < 0) {
        engine_->render = nullptr;
        mpv_set_property_string(engine_->mpv, "vo", "null");
    } else {
        surface_->setRenderContext(engine_->render);
        // Both callbacks come from the engine's threads: they are handed to
        // the window thread through the player, which the engine never
        // outlives (queued calls to a destroyed object are dropped).
        mpv_render_context_set_update_callback(
            engine_->render,
            [](void* ctx) {
                auto* player = static_cast<MediaPlayer*>(ctx);
                QMetaObject::invokeMethod(
                    player, [player] { player->frameReady(); }, Qt::QueuedConnection);
            },
            this);
    }
    mpv_set_wakeup_callback(
        engine_->mpv,
        [](void* ctx) {
            auto* player = static_cast<MediaPlayer*>(ctx);
            QMetaObject::invokeMethod(
                player, [player] { player->drainEvents(); }, Qt::QueuedConnection);
        },
        this);
#endif
}

MediaPlayer::~MediaPlayer() {
#ifdef HARPOLY_HAVE_MPV
    if (engine_->mpv) {
        mpv_set_wakeup_callback(engine_->mpv, nullptr, nullptr);
    }
    if (surface_) {
        surface_->setRenderContext(nullptr);
    }
#endif
    engine_.reset();
    delete surface_.data(); // unless the display has deleted it already
}

void MediaPlayer::frameReady() {
#ifdef HARPOLY_HAVE_MPV
    if (engine_->render && (mpv_render_context_update(engine_->render) & MPV_RENDER_UPDATE_FRAME) &&
        surface_) {
        surface_->renderFrame();
    }
#endif
}

void MediaPlayer::open(const std::string& path) {
    close();
#ifdef HARPOLY_HAVE_MPV
    Engine& e = *engine_;
    if (!e.mpv) {
        harpoly::raise(kind::MCIDevice, "no media engine");
    }
    // A relative name must not be read as a protocol or an option.
    const std::string target = (!path.empty() && path[0] == '/') ? path : "./" + path;
    e.setPaused(true);
    const char* cmd[] = {"loadfile", target.c_str(), "replace", nullptr};
    if (mpv_command(e.mpv, cmd) < 0) {
        harpoly::raise(kind::MCIDevice, "refused: " + path);
    }

    using clock = std::chrono::steady_clock;
    const auto deadline = clock::now() + kOpenTimeout;
    std::int64_t entry = -1;
    for (;;) {
        const auto left = std::chrono::duration<double>(deadline - clock::now()).count();
        if (left <= 0) {
            e.loaded = true; // so that unload() stops the engine's attempt
            e.unload();
            harpoly::raise(kind::MCIDevice, "timed out: " + path);
        }
        const mpv_event* ev = mpv_wait_event(e.mpv, left);
        if (ev->event_id == MPV_EVENT_START_FILE) {
            entry = static_cast<const mpv_event_start_file*>(ev->data)->playlist_entry_id;
        } else if (ev->event_id == MPV_EVENT_FILE_LOADED && entry >= 0) {
            break;
        } else if (ev->event_id == MPV_EVENT_END_FILE) {
            const auto* end = static_cast<const mpv_event_end_file*>(ev->data);
            if (entry >= 0 && end->playlist_entry_id == entry) {
                harpoly::raise(kind::MCIDevice, "cannot play: " + path);
            }
        } else if (ev->event_id == MPV_EVENT_SHUTDOWN) {
            harpoly::raise(kind::MCIDevice, "media engine ended");
        }
    }

    e.loaded = true;
    e.entryId = entry;
    e.held = 0;
    const double seconds = e.number("duration").value_or(0.0);
    e.length = seconds > 0 ? static_cast<std::int64_t>(seconds * 1000.0 + 0.5) : 0;
    const auto w = e.integer("width");
    const auto h = e.integer("height");
    e.size = (w > 0 && h > 0) ? QSize(static_cast<int>(w), static_cast<int>(h)) : QSize(0, 0);
    if (surface_) {
        surface_->clearFrame();
        surface_->setVisible(surface_->parentWidget() != this && !e.size.isEmpty());
    }
#else
    harpoly::raise(kind::MCIDevice, "no media engine: " + path);
#endif
}

void MediaPlayer::close() {
#ifdef HARPOLY_HAVE_MPV
    engine_->unload();
#endif
    if (surface_) {
        surface_->clearFrame();
        surface_->hide();
    }
}

bool MediaPlayer::isOpen() const {
#ifdef HARPOLY_HAVE_MPV
    return engine_->loaded;
#else
    return false;
#endif
}

void MediaPlayer::play() {
#ifdef HARPOLY_HAVE_MPV
    Engine& e = *engine_;
    if (!e.loaded) {
        return;
    }
    if (!e.seekPending && e.flag("eof-reached")) {
        e.seekTo(0);
    }
    e.setPaused(false);
    if (!e.seekPending) {
        e.held.reset();
    }
#endif
}

void MediaPlayer::stop() {
#ifdef HARPOLY_HAVE_MPV
    if (engine_->loaded) {
        const std::int64_t at = position();
        engine_->setPaused(true);
        engine_->held = at;
    }
#endif
}

void MediaPlayer::back() {
    seek(0);
}

void MediaPlayer::seek(std::int64_t ms) {
#ifdef HARPOLY_HAVE_MPV
    Engine& e = *engine_;
    if (!e.loaded) {
        return;
    }
    e.setPaused(true);
    e.seekTo(std::clamp<std::int64_t>(ms, 0, e.length));
#else
    (void)ms;
#endif
}

std::int64_t MediaPlayer::length() const {
#ifdef HARPOLY_HAVE_MPV
    return engine_->length;
#else
    return 0;
#endif
}

std::int64_t MediaPlayer::position() const {
#ifdef HARPOLY_HAVE_MPV
    Engine& e = *engine_;
    if (!e.loaded) {
        return e.lastPosition;
    }
    if (e.held) {
        return *e.held;
    }
    if (e.flag("eof-reached")) {
        return e.lastPosition = e.length;
    }
    if (const auto seconds = e.number("time-pos")) {
        e.lastPosition =
            std::clamp<std::int64_t>(static_cast<std::int64_t>(*seconds * 1000.0), 0, e.length);
    }
    return e.lastPosition;
#else
    return 0;
#endif
}

bool MediaPlayer::isPlaying() const {
#ifdef HARPOLY_HAVE_MPV
    const Engine& e = *engine_;
    return e.loaded && !e.flag("pause") && !e.flag("eof-reached");
#else
    return false;
#endif
}

bool MediaPlayer::atEnd() const {
#ifdef HARPOLY_HAVE_MPV
    return engine_->loaded && !engine_->seekPending && engine_->flag("eof-reached");
#else
    return false;
#endif
}

QSize MediaPlayer::videoSize() const {
#ifdef HARPOLY_HAVE_MPV
    return engine_->size;
#else
    return QSize(0, 0);
#endif
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

void MediaPlayer::drainEvents() {
#ifdef HARPOLY_HAVE_MPV
    Engine& e = *engine_;
    if (!e.mpv) {
        return;
    }
    for (;;) {
        const mpv_event* ev = mpv_wait_event(e.mpv, 0);
        if (ev->event_id == MPV_EVENT_NONE) {
            break;
        }
        if (ev->event_id == MPV_EVENT_PLAYBACK_RESTART) {
            // A seek has arrived; if play was pressed meanwhile, the engine's
            // position counts again.
            e.seekPending = false;
            if (!e.flag("pause")) {
                e.held.reset();
            }
        } else if (ev->event_id == MPV_EVENT_END_FILE) {
            const auto* end = static_cast<const mpv_event_end_file*>(ev->data);
            if (e.loaded && end->playlist_entry_id == e.entryId) {
                // The file broke off (unreadable, gone): a quiet stop where it was.
                const std::int64_t at = e.held.value_or(e.lastPosition);
                e.loaded = false;
                e.held.reset();
                e.seekPending = false;
                e.lastPosition = at;
            }
        }
    }
#endif
}

} // namespace harpoly::ui
