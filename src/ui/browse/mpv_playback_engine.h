#pragma once

#include "ui/browse/playback_engine.h"

#include <QObject>
#include <atomic>
#include <memory>
#include <optional>

struct mpv_handle;
struct mpv_render_context;

namespace harpoly::ui {

class MpvFrameRenderer;

// The libmpv engine. It renders in software, on a thread of its own, so it
// runs the same on a desktop, under Xvfb and on Qt's offscreen platform and
// never holds up the window thread; with no audio device sound is decoded and
// dropped.
//
// libmpv answers asynchronously; this engine turns that into the synchronous
// answers of PlaybackEngine: open() waits for the file, and while stopped the
// position reads exactly what open, stop or a seek left, even while the
// library is still on its way there.
class MpvPlaybackEngine : public QObject, public PlaybackEngine {
    Q_OBJECT
public:
    // Null when libmpv cannot be started.
    static std::unique_ptr<MpvPlaybackEngine> create();
    ~MpvPlaybackEngine() override;

    void open(const std::string& path) override;
    void close() override;
    bool isOpen() const override { return loaded_; }
    void play() override;
    void stop() override;
    void seek(std::int64_t ms) override;
    std::int64_t length() const override { return length_; }
    std::int64_t position() const override;
    bool isPlaying() const override;
    bool atEnd() const override;
    QSize videoSize() const override { return size_; }
    void setFrameHandler(std::function<void()> handler) override;
    void setFrameSize(QSize size) override;
    QImage frame() const override;

private:
    explicit MpvPlaybackEngine(mpv_handle* mpv);
    void startRendering();
    template <void (MpvPlaybackEngine::*Method)()> static void onWindowThread(void* engine);
    // Takes the library's events: a seek that has arrived, a file that broke off.
    void drainEvents();
    void frameReady();

    bool flag(const char* name) const;
    std::optional<double> number(const char* name) const;
    std::int64_t integer(const char* name) const;
    void setPaused(bool paused);
    void seekTo(std::int64_t ms);

    mpv_handle* mpv_ = nullptr;
    mpv_render_context* render_ = nullptr;
    std::unique_ptr<MpvFrameRenderer> renderer_; // draws the frames off the window thread
    std::atomic<bool> frameAnnounced_{false};    // a frameReady() call is on its way
    std::function<void()> frameHandler_;
    bool loaded_ = false;
    std::int64_t entryId_ = -1; // the library's id of the open file
    std::int64_t length_ = 0;
    QSize size_{0, 0};
    // While stopped the position is held here, so that it reads exactly what
    // open, stop or a seek left (the library may still be on its way).
    std::optional<std::int64_t> held_;
    bool seekPending_ = false; // until the library reports it has arrived
    // What position() says once the file is gone.
    mutable std::int64_t lastPosition_ = 0;
};

} // namespace harpoly::ui
