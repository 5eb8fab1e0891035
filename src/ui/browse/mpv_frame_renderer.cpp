#include "ui/browse/mpv_frame_renderer.h"

#include <mpv/render.h>

namespace harpoly::ui {

MpvFrameRenderer::MpvFrameRenderer(mpv_render_context* context, std::function<void()> frameReady)
    : context_(context), frameReady_(std::move(frameReady)), thread_([this] { run(); }) {
    mpv_render_context_set_update_callback(context_, &MpvFrameRenderer::onUpdate, this);
}

MpvFrameRenderer::~MpvFrameRenderer() {
    // After this returns the library calls nothing of ours.
    mpv_render_context_set_update_callback(context_, nullptr, nullptr);
    {
        const std::lock_guard lock(mutex_);
        quit_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

// Called on one of the library's threads.
void MpvFrameRenderer::onUpdate(void* renderer) {
    auto* self = static_cast<MpvFrameRenderer*>(renderer);
    {
        const std::lock_guard lock(self->mutex_);
        self->updated_ = true;
    }
    self->wake_.notify_one();
}

void MpvFrameRenderer::setSize(QSize size) {
    {
        const std::lock_guard lock(mutex_);
        if (size == size_) {
            return;
        }
        size_ = size;
        redraw_ = !latest_.isNull();
    }
    wake_.notify_one();
}

QImage MpvFrameRenderer::latest() const {
    const std::lock_guard lock(mutex_);
    return latest_;
}

void MpvFrameRenderer::clear() {
    const std::lock_guard lock(mutex_);
    latest_ = QImage();
    redraw_ = false;
    ++generation_;
}

QImage& MpvFrameRenderer::freeBuffer(QSize size) {
    // A buffer still held elsewhere (on show, or the latest frame) is left
    // alone: the window thread may be painting it.
    for (std::size_t tried = 0; tried < buffers_.size(); ++tried) {
        QImage& buffer = buffers_[next_];
        next_ = (next_ + 1) % buffers_.size();
        if (buffer.isNull() || buffer.isDetached()) {
            if (buffer.size() != size) {
                buffer = QImage(size, QImage::Format_RGB32);
            }
            return buffer;
        }
    }
    QImage& buffer = buffers_[next_];
    buffer = QImage(size, QImage::Format_RGB32);
    return buffer;
}

void MpvFrameRenderer::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return quit_ || updated_ || redraw_; });
        if (quit_) {
            return;
        }
        const bool updated = std::exchange(updated_, false);
        bool draw = std::exchange(redraw_, false);
        const QSize size = size_.expandedTo(QSize(1, 1));
        const unsigned generation = generation_;
        lock.unlock();
        if (updated) {
            draw |= (mpv_render_context_update(context_) & MPV_RENDER_UPDATE_FRAME) != 0;
        }
        if (draw) {
            QImage& image = freeBuffer(size);
            int wh[2] = {size.width(), size.height()};
            size_t stride = static_cast<size_t>(image.bytesPerLine());
            // QImage::Format_RGB32 is 0xffRRGGBB per pixel: B, G, R, X in memory.
            char format[] = "bgr0";
            mpv_render_param params[] = {
                {MPV_RENDER_PARAM_SW_SIZE, wh},        {MPV_RENDER_PARAM_SW_FORMAT, format},
                {MPV_RENDER_PARAM_SW_STRIDE, &stride}, {MPV_RENDER_PARAM_SW_POINTER, image.bits()},
                {MPV_RENDER_PARAM_INVALID, nullptr},
            };
            // Waits until the frame is due: this thread is there for it.
            mpv_render_context_render(context_, params);
            lock.lock();
            if (generation != generation_) {
                continue; // cleared meanwhile
            }
            latest_ = image;
            lock.unlock();
            frameReady_();
        }
        lock.lock();
    }
}

} // namespace harpoly::ui
