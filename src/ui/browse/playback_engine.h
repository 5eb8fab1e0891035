#pragma once

#include <QImage>
#include <QSize>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace harpoly::ui {

// What plays a media file for the player `MPC`, with the synchronous answers
// the preview expects: open() returns once the file is loaded, and length,
// position and the video's own size are known at once. Times are in
// milliseconds. Every call comes from the window thread.
class PlaybackEngine {
public:
    virtual ~PlaybackEngine() = default;

    // Opens `path` (file-system bytes) in place of any file open before and
    // waits until it is loaded: the media then stands at its start, stopped.
    // A file the engine refuses, or one that does not load in time, raises
    // harpoly::Error(kind::MCIDevice) and leaves nothing open.
    virtual void open(const std::string& path) = 0;
    // Releases the file; nothing is open afterwards. Harmless when nothing is.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // From the current position; from the start when at the end.
    virtual void play() = 0;
    // Pauses; the position stays.
    virtual void stop() = 0;
    // To `ms` (clamped to the length), stopped there.
    virtual void seek(std::int64_t ms) = 0;

    virtual std::int64_t length() const = 0;   // 0 when nothing is open
    virtual std::int64_t position() const = 0; // the length once the end is reached
    virtual bool isPlaying() const = 0;
    virtual bool atEnd() const = 0;
    // The video's own size; 0 by 0 for sound only or when nothing is open.
    virtual QSize videoSize() const = 0;

    // Events: `handler` runs on the window thread each time a new video frame
    // is ready to be shown. An empty handler stops the calls.
    virtual void setFrameHandler(std::function<void()> handler) = 0;
    // The size frames are drawn at from now on (the surface's); the current
    // frame is drawn again at the new size.
    virtual void setFrameSize(QSize size) = 0;
    // The latest frame (RGB32), stretched over the frame size; null when
    // there is none. Frames are drawn without holding up the window thread,
    // so one may still have the size asked for before.
    virtual QImage frame() const = 0;
};

// The engine this build was configured with: libmpv when it was found (and
// starts), else one that refuses every file.
std::unique_ptr<PlaybackEngine> makePlaybackEngine();

} // namespace harpoly::ui
