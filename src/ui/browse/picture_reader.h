#pragma once

#include "core/browse/picture_cache.h"
#include "ui/browse/picture_decoder.h"

#include <QImage>
#include <QObject>
#include <QThreadPool>
#include <QTimer>

#include <cstdint>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

namespace harpoly::ui {

// A picture as the picture pane takes it: the image, already reduced to the
// size it is drawn at when it was decoded for a box, and the picture's own
// size. A metafile too large to draw into an image comes as its drawing list
// instead (the image is null), for the pane to draw where it is exposed.
struct ReadyPicture {
    QImage image;
    int ownWidth = 0;
    int ownHeight = 0;
    std::shared_ptr<const Metafile> metafile;
};

// Decodes the preview's pictures on worker threads, so that the window never
// waits for a decode, and keeps the decoded pictures the user is likely to
// step to within a memory budget.
//
// Each picture is known by a key (keyOf: the file's path and identity and the
// box it is drawn in). One picture at a time is decoded for show: asking for
// another stops every decode that is not for the new one, and the decode
// starts only once the events already queued are handled, so that a burst of
// key presses ends in one decode. Pictures read ahead are decoded in the
// background and kept; they are never shown by themselves. Everything here
// runs on the window thread except the decodes; only plain values (the
// request, the decoded picture, the error) cross between the two.
class PictureReader : public QObject {
    Q_OBJECT
public:
    // The outcome of the decode for show: the picture, or the error the
    // decoder threw.
    using ShowHandler = std::function<void(const std::string& key, const ReadyPicture* picture,
                                           std::exception_ptr error)>;

    explicit PictureReader(QObject* parent = nullptr);
    // Stops every decode and waits for the workers to let go.
    ~PictureReader() override;

    // Decodes through `decoder` from now on (tests count or slow decodes here).
    void setDecoder(std::shared_ptr<PictureDecoder> decoder);
    void setShowHandler(ShowHandler handler) { showHandler_ = std::move(handler); }
    // The bytes that kept pictures may take; less drops pictures at once.
    void setBudget(std::size_t bytes);

    // The key of `request`: its path, the file's identity (device, inode,
    // size, change and write times, so that a file replaced under the same
    // name is decoded anew) and its box.
    static std::string keyOf(const PictureRequest& request);

    // The picture kept under `key`, if it was read ahead or shown before.
    std::optional<ReadyPicture> kept(const std::string& key);
    // Decodes `request` for show; its outcome goes to the show handler on
    // the window thread. A decode for `key` already running (read ahead) is
    // taken over; every other one is stopped.
    void decodeForShow(const std::string& key, const PictureRequest& request);
    // The picture kept for `key` is on show: every decode is stopped.
    void showingKept(const std::string& key);
    // Decodes `pictures` (key and request, best first) in the background to
    // be kept, unless they are kept or decoding already.
    void readAhead(std::vector<std::pair<std::string, PictureRequest>> pictures);
    // Stops every decode; nothing more reaches the show handler.
    void stopAll();

    // Decodes running or queued (tests wait on this).
    int decodesInFlight() const { return static_cast<int>(jobs_.size()); }

private:
    struct Job {
        std::string key;
        PictureRequest request;
        std::stop_source stop;
        bool forShow = false;
        bool started = false;
    };
    struct Outcome {
        std::optional<ReadyPicture> picture;
        std::exception_ptr error;
    };

    // Stops every decode not for `key`; true when one for it goes on.
    bool stopAllBut(const std::string& key);
    void launchQueued();
    void start(std::uint64_t id, Job& job);
    void finished(std::uint64_t id, Outcome outcome);
    bool wanted(const std::string& key) const;
    static Outcome decodeOne(PictureDecoder& decoder, const PictureRequest& request,
                             const std::stop_token& stop);
    // A metafile drawn at the size it is shown at (nothing when stopped).
    static std::optional<ReadyPicture> drawMetafile(const PictureRequest& request,
                                                    const std::stop_token& stop);

    std::shared_ptr<PictureDecoder> decoder_;
    ShowHandler showHandler_;
    PictureCache<ReadyPicture> kept_;
    std::map<std::uint64_t, Job> jobs_; // running or waiting for the launch
    std::uint64_t nextId_ = 1;
    std::vector<std::string> wantedKeys_; // the one for show, then those read ahead
    QTimer launch_;
    QThreadPool pool_;
};

} // namespace harpoly::ui
