#pragma once

#include <QImage>
#include <QSize>

#include <array>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

struct mpv_render_context;

namespace harpoly::ui {

// Draws libmpv's video frames on a thread of its own, so that the window
// thread never waits for a frame: the library's software renderer holds each
// frame until it is due, and scaling it to a full-screen surface takes time.
// The window thread asks for a size and takes the latest frame; the renderer
// tells it, through `frameReady` (called on the render thread), when a new
// one is there. Only plain images cross between the threads.
class MpvFrameRenderer {
public:
    // Takes over the context's update callback; the context must outlive
    // the renderer.
    MpvFrameRenderer(mpv_render_context* context, std::function<void()> frameReady);
    // Stops the thread: no more frames are drawn or announced.
    ~MpvFrameRenderer();
    MpvFrameRenderer(const MpvFrameRenderer&) = delete;
    MpvFrameRenderer& operator=(const MpvFrameRenderer&) = delete;

    // The size the next frames are drawn at; a new size redraws the current
    // frame at once.
    void setSize(QSize size);
    // The latest frame drawn (RGB32), null before the first.
    QImage latest() const;
    // Forgets the latest frame (a file was closed).
    void clear();

private:
    static void onUpdate(void* renderer);
    void run();
    // An image of `size` that no one else holds, to draw the next frame into.
    QImage& freeBuffer(QSize size);

    mpv_render_context* context_;
    std::function<void()> frameReady_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool updated_ = false; // the library has news (a new frame, as a rule)
    bool redraw_ = false;  // the size changed: draw the current frame again
    bool quit_ = false;
    unsigned generation_ = 0; // counts clear(): a frame drawn before one is dropped
    QSize size_;
    QImage latest_;
    // Frames are drawn into these in turn; one may be on show meanwhile.
    std::array<QImage, 3> buffers_;
    std::size_t next_ = 0;
    std::thread thread_; // last: starts once everything above is ready
};

} // namespace harpoly::ui
