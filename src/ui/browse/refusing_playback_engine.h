#pragma once

#include "ui/browse/playback_engine.h"

namespace harpoly::ui {

// The engine of a build without a media library, or of a run whose library
// did not start: every file is refused with the media error, so a media file
// previews as one the player cannot handle; everything else does nothing.
class RefusingPlaybackEngine : public PlaybackEngine {
public:
    void open(const std::string& path) override;
    void close() override {}
    bool isOpen() const override { return false; }
    void play() override {}
    void stop() override {}
    void seek(std::int64_t) override {}
    std::int64_t length() const override { return 0; }
    std::int64_t position() const override { return 0; }
    bool isPlaying() const override { return false; }
    bool atEnd() const override { return false; }
    QSize videoSize() const override { return {0, 0}; }
    void setFrameHandler(std::function<void()>) override {}
    void setFrameSize(QSize) override {}
    QImage frame() const override { return {}; }
};

} // namespace harpoly::ui
