#include "ui/browse/mpv_playback_engine.h"

#include "core/errors.h"
#include "ui/browse/mpv_frame_renderer.h"

#include <QGuiApplication>
#include <QImage>

#include <algorithm>
#include <chrono>
#include <utility>

#include <mpv/client.h>
#include <mpv/render.h>

namespace harpoly::ui {

namespace {

// How long open() waits for the library to load a file before it gives up.
constexpr std::chrono::milliseconds kOpenTimeout{10000};

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
        {"osc", "no"}, // and none of the built-in scripts
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

std::unique_ptr<MpvPlaybackEngine> MpvPlaybackEngine::create() {
    mpv_handle* mpv = createCore();
    if (!mpv) {
        return nullptr;
    }
    return std::unique_ptr<MpvPlaybackEngine>(new MpvPlaybackEngine(mpv));
}

// The library calls back from its own threads: each call is handed to the
// window thread through the engine (queued calls to a destroyed object are
// dropped).
template <void (MpvPlaybackEngine::*Method)()>
void MpvPlaybackEngine::onWindowThread(void* engine) {
    auto* self = static_cast<MpvPlaybackEngine*>(engine);
    QMetaObject::invokeMethod(
        self, [self] { (self->*Method)(); }, Qt::QueuedConnection);
}

MpvPlaybackEngine::MpvPlaybackEngine(mpv_handle* mpv) : mpv_(mpv) {
    startRendering();
    mpv_set_wakeup_callback(mpv_, &onWindowThread<&MpvPlaybackEngine::drainEvents>, this);
}

void MpvPlaybackEngine::startRendering() {
    char apiType[] = MPV_RENDER_API_TYPE_SW;
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_API_TYPE, apiType},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    if (mpv_render_context_create(&render_, mpv_, params) < 0) {
        render_ = nullptr;
        mpv_set_property_string(mpv_, "vo", "null");
        return;
    }
    // The renderer announces each frame from its thread; one announcement at
    // a time is queued to the window thread, which takes the latest frame.
    renderer_ = std::make_unique<MpvFrameRenderer>(render_, [this] {
        if (!frameAnnounced_.exchange(true)) {
            onWindowThread<&MpvPlaybackEngine::frameReady>(this);
        }
    });
}

MpvPlaybackEngine::~MpvPlaybackEngine() {
    mpv_set_wakeup_callback(mpv_, nullptr, nullptr);
    // The renderer stops first, then the render context goes, before the
    // core it belongs to.
    renderer_.reset();
    if (render_) {
        mpv_render_context_free(render_);
    }
    mpv_terminate_destroy(mpv_);
}

// ---------------------------------------------------------------- properties

bool MpvPlaybackEngine::flag(const char* name) const {
    int value = 0;
    return mpv_get_property(mpv_, name, MPV_FORMAT_FLAG, &value) >= 0 && value != 0;
}

std::optional<double> MpvPlaybackEngine::number(const char* name) const {
    double value = 0;
    if (mpv_get_property(mpv_, name, MPV_FORMAT_DOUBLE, &value) < 0) {
        return std::nullopt;
    }
    return value;
}

std::int64_t MpvPlaybackEngine::integer(const char* name) const {
    std::int64_t value = 0;
    return mpv_get_property(mpv_, name, MPV_FORMAT_INT64, &value) >= 0 ? value : 0;
}

void MpvPlaybackEngine::setPaused(bool paused) {
    int value = paused ? 1 : 0;
    mpv_set_property(mpv_, "pause", MPV_FORMAT_FLAG, &value);
}

void MpvPlaybackEngine::seekTo(std::int64_t ms) {
    const std::string seconds = std::to_string(static_cast<double>(ms) / 1000.0);
    const char* cmd[] = {"seek", seconds.c_str(), "absolute+exact", nullptr};
    if (mpv_command(mpv_, cmd) >= 0) {
        held_ = ms;
        seekPending_ = true;
    }
}

// ---------------------------------------------------------------- open and close

void MpvPlaybackEngine::open(const std::string& path) {
    close();
    // A relative name must not be read as a protocol or an option.
    const std::string target = (!path.empty() && path[0] == '/') ? path : "./" + path;
    setPaused(true);
    const char* cmd[] = {"loadfile", target.c_str(), "replace", nullptr};
    if (mpv_command(mpv_, cmd) < 0) {
        harpoly::raise(kind::MCIDevice, "refused: " + path);
    }

    using clock = std::chrono::steady_clock;
    const auto deadline = clock::now() + kOpenTimeout;
    std::int64_t entry = -1;
    for (;;) {
        const auto left = std::chrono::duration<double>(deadline - clock::now()).count();
        if (left <= 0) {
            loaded_ = true; // so that close() stops the library's attempt
            close();
            harpoly::raise(kind::MCIDevice, "timed out: " + path);
        }
        const mpv_event* ev = mpv_wait_event(mpv_, left);
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

    loaded_ = true;
    entryId_ = entry;
    held_ = 0;
    const double seconds = number("duration").value_or(0.0);
    length_ = seconds > 0 ? static_cast<std::int64_t>(seconds * 1000.0 + 0.5) : 0;
    const auto w = integer("width");
    const auto h = integer("height");
    size_ = (w > 0 && h > 0) ? QSize(static_cast<int>(w), static_cast<int>(h)) : QSize(0, 0);
}

void MpvPlaybackEngine::close() {
    if (loaded_) {
        const char* cmd[] = {"stop", nullptr};
        mpv_command(mpv_, cmd);
    }
    loaded_ = false;
    entryId_ = -1;
    length_ = 0;
    size_ = QSize(0, 0);
    if (renderer_) {
        renderer_->clear();
    }
    held_.reset();
    seekPending_ = false;
    lastPosition_ = 0;
}

// ---------------------------------------------------------------- playing

void MpvPlaybackEngine::play() {
    if (!loaded_) {
        return;
    }
    if (!seekPending_ && flag("eof-reached")) {
        seekTo(0);
    }
    setPaused(false);
    if (!seekPending_) {
        held_.reset();
    }
}

void MpvPlaybackEngine::stop() {
    if (loaded_) {
        const std::int64_t at = position();
        setPaused(true);
        held_ = at;
    }
}

void MpvPlaybackEngine::seek(std::int64_t ms) {
    if (!loaded_) {
        return;
    }
    setPaused(true);
    seekTo(std::clamp<std::int64_t>(ms, 0, length_));
}

std::int64_t MpvPlaybackEngine::position() const {
    if (!loaded_) {
        return lastPosition_;
    }
    if (held_) {
        return *held_;
    }
    if (flag("eof-reached")) {
        return lastPosition_ = length_;
    }
    if (const auto seconds = number("time-pos")) {
        lastPosition_ =
            std::clamp<std::int64_t>(static_cast<std::int64_t>(*seconds * 1000.0), 0, length_);
    }
    return lastPosition_;
}

bool MpvPlaybackEngine::isPlaying() const {
    return loaded_ && !flag("pause") && !flag("eof-reached");
}

bool MpvPlaybackEngine::atEnd() const {
    return loaded_ && !seekPending_ && flag("eof-reached");
}

// ---------------------------------------------------------------- events and frames

void MpvPlaybackEngine::drainEvents() {
    for (;;) {
        const mpv_event* ev = mpv_wait_event(mpv_, 0);
        if (ev->event_id == MPV_EVENT_NONE) {
            break;
        }
        if (ev->event_id == MPV_EVENT_PLAYBACK_RESTART) {
            // A seek has arrived; if play was pressed meanwhile, the library's
            // position counts again.
            seekPending_ = false;
            if (!flag("pause")) {
                held_.reset();
            }
        } else if (ev->event_id == MPV_EVENT_END_FILE) {
            const auto* end = static_cast<const mpv_event_end_file*>(ev->data);
            if (loaded_ && end->playlist_entry_id == entryId_) {
                // The file broke off (unreadable, gone): a quiet stop where it was.
                const std::int64_t at = held_.value_or(lastPosition_);
                loaded_ = false;
                held_.reset();
                seekPending_ = false;
                lastPosition_ = at;
            }
        }
    }
}

void MpvPlaybackEngine::setFrameHandler(std::function<void()> handler) {
    frameHandler_ = std::move(handler);
}

void MpvPlaybackEngine::frameReady() {
    frameAnnounced_ = false;
    if (frameHandler_) {
        frameHandler_();
    }
}

void MpvPlaybackEngine::setFrameSize(QSize size) {
    if (renderer_) {
        renderer_->setSize(size);
    }
}

QImage MpvPlaybackEngine::frame() const {
    return renderer_ ? renderer_->latest() : QImage();
}

} // namespace harpoly::ui
