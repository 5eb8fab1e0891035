#include "ui/browse/picture_reader.h"

#include "core/errors.h"
#include "core/imaging/fit_rect.h"
#include "core/imaging/metafile_reader.h"
#include "ui/browse/image_pane.h"
#include "ui/browse/metafile_painter.h"
#include "ui/browse/preview_images.h"

#include <algorithm>
#include <sys/stat.h>

namespace harpoly::ui {

namespace {

// Two decodes at once: the picture for show and one read ahead, or the two
// read-ahead neighbours.
constexpr int kWorkers = 2;
constexpr int kShowPriority = 1;
constexpr int kReadAheadPriority = 0;

bool isJpeg(const std::string& extLower) {
    return extLower == ".jpg" || extLower == ".jpeg";
}

} // namespace

PictureReader::PictureReader(QObject* parent) : QObject(parent), decoder_(makePictureDecoder()) {
    setObjectName(QStringLiteral("pictureReader"));
    pool_.setMaxThreadCount(kWorkers);
    // The launch waits for the events queued before it (a burst of key
    // presses), which may ask for other pictures meanwhile.
    launch_.setSingleShot(true);
    launch_.setInterval(0);
    connect(&launch_, &QTimer::timeout, this, [this] { launchQueued(); });
}

PictureReader::~PictureReader() {
    stopAll();
    pool_.waitForDone();
}

void PictureReader::setDecoder(std::shared_ptr<PictureDecoder> decoder) {
    decoder_ = std::move(decoder);
}

void PictureReader::setBudget(std::size_t bytes) {
    kept_.setBudget(bytes, [this](const std::string& key) { return wanted(key); });
}

std::string PictureReader::keyOf(const PictureRequest& request) {
    std::string key = request.path;
    struct stat st {};
    if (::stat(request.path.c_str(), &st) == 0) {
        for (const long long part :
             {static_cast<long long>(st.st_dev), static_cast<long long>(st.st_ino),
              static_cast<long long>(st.st_size), static_cast<long long>(st.st_mtim.tv_sec),
              static_cast<long long>(st.st_mtim.tv_nsec), static_cast<long long>(st.st_ctim.tv_sec),
              static_cast<long long>(st.st_ctim.tv_nsec)}) {
            key += '\n' + std::to_string(part);
        }
    }
    key += '\n' + std::to_string(request.boxWidth) + 'x' + std::to_string(request.boxHeight);
    return key;
}

bool PictureReader::wanted(const std::string& key) const {
    return std::find(wantedKeys_.begin(), wantedKeys_.end(), key) != wantedKeys_.end();
}

std::optional<ReadyPicture> PictureReader::kept(const std::string& key) {
    if (const ReadyPicture* picture = kept_.find(key)) {
        return *picture;
    }
    return std::nullopt;
}

bool PictureReader::stopAllBut(const std::string& key) {
    wantedKeys_ = {key};
    bool running = false;
    for (auto it = jobs_.begin(); it != jobs_.end();) {
        if (it->second.key == key) {
            running = true;
            ++it;
        } else {
            it->second.stop.request_stop();
            it = jobs_.erase(it);
        }
    }
    return running;
}

void PictureReader::decodeForShow(const std::string& key, const PictureRequest& request) {
    if (stopAllBut(key)) {
        for (auto& [id, job] : jobs_) {
            job.forShow = true; // the read-ahead is wanted for show now
        }
    } else {
        jobs_.emplace(nextId_++, Job{key, request, {}, true, false});
    }
    launch_.start();
}

void PictureReader::showingKept(const std::string& key) {
    stopAllBut(key);
}

void PictureReader::readAhead(std::vector<std::pair<std::string, PictureRequest>> pictures) {
    for (auto& [key, request] : pictures) {
        if (!wanted(key)) {
            wantedKeys_.push_back(key);
        }
        const bool running = std::any_of(jobs_.begin(), jobs_.end(),
                                         [&](const auto& job) { return job.second.key == key; });
        if (!running && kept_.find(key) == nullptr) {
            jobs_.emplace(nextId_++, Job{key, std::move(request), {}, false, false});
        }
    }
    launch_.start();
}

void PictureReader::stopAll() {
    launch_.stop();
    for (auto& [id, job] : jobs_) {
        job.stop.request_stop();
    }
    jobs_.clear();
    wantedKeys_.clear();
}

void PictureReader::launchQueued() {
    // The picture for show first, then the rest in the order asked.
    for (const bool forShow : {true, false}) {
        for (auto& [id, job] : jobs_) {
            if (!job.started && job.forShow == forShow) {
                start(id, job);
            }
        }
    }
}

void PictureReader::start(std::uint64_t id, Job& job) {
    job.started = true;
    std::shared_ptr<PictureDecoder> decoder = decoder_;
    pool_.start(
        [this, id, decoder, request = job.request, stop = job.stop.get_token()] {
            Outcome outcome;
            if (!stop.stop_requested()) {
                outcome = decodeOne(*decoder, request, stop);
            }
            // Back to the window thread; dropped if the reader is gone.
            QMetaObject::invokeMethod(
                this,
                [this, id, outcome = std::move(outcome)]() mutable {
                    finished(id, std::move(outcome));
                },
                Qt::QueuedConnection);
        },
        job.forShow ? kShowPriority : kReadAheadPriority);
}

PictureReader::Outcome PictureReader::decodeOne(PictureDecoder& decoder,
                                                const PictureRequest& request,
                                                const std::stop_token& stop) {
    Outcome outcome;
    try {
        if (isMetafileExtension(request.extLower)) {
            outcome.picture = drawMetafile(request, stop);
            return outcome;
        }
        DecodedPicture decoded = decoder.decode(request, stop);
        if (stop.stop_requested()) {
            return outcome;
        }
        if (decoded.image.empty()) {
            raise(kind::InvalidGraphic, "no picture decoded");
        }
        ReadyPicture ready;
        ready.ownWidth = decoded.width;
        ready.ownHeight = decoded.height;
        ready.image = adoptImage(std::move(decoded.image), isJpeg(request.extLower));
        // Reduced once here to the size it is drawn at, rather than at every
        // paint on the window thread.
        if (request.boxWidth > 0 && request.boxHeight > 0) {
            const DrawRect drawn =
                pictureRect(ready.ownWidth, ready.ownHeight, request.boxWidth, request.boxHeight);
            if (ready.image.width() > drawn.width || ready.image.height() > drawn.height) {
                ready.image = ready.image.scaled(drawn.width, drawn.height, Qt::IgnoreAspectRatio,
                                                 Qt::SmoothTransformation);
            }
        }
        outcome.picture = std::move(ready);
    } catch (...) {
        outcome.error = std::current_exception();
    }
    return outcome;
}

std::optional<ReadyPicture> PictureReader::drawMetafile(const PictureRequest& request,
                                                        const std::stop_token& stop) {
    std::shared_ptr<const Metafile> metafile = request.metafile;
    if (!metafile) {
        metafile = std::make_shared<const Metafile>(readMetafileFile(request.path));
    }
    if (stop.stop_requested()) {
        return std::nullopt;
    }
    ReadyPicture ready;
    ready.ownWidth = metafile->width;
    ready.ownHeight = metafile->height;
    // Drawn for the size it is shown at: the fitted rectangle, or its own size.
    DrawRect drawn{0, 0, ready.ownWidth, ready.ownHeight};
    if (request.boxWidth > 0 && request.boxHeight > 0) {
        drawn = pictureRect(ready.ownWidth, ready.ownHeight, request.boxWidth, request.boxHeight);
    }
    if (static_cast<qint64>(drawn.width) * drawn.height > kMaxMetafileRasterPixels) {
        ready.metafile = std::move(metafile);
    } else if (drawn.width > 0 && drawn.height > 0) {
        ready.image =
            renderMetafile(*metafile, drawn.width, drawn.height, Qt::white, kMetafilePaintBudget);
    }
    return ready;
}

void PictureReader::finished(std::uint64_t id, Outcome outcome) {
    const auto it = jobs_.find(id);
    if (it == jobs_.end()) {
        return; // stopped: whatever it made is thrown away
    }
    const Job job = std::move(it->second);
    jobs_.erase(it);
    if (outcome.picture) {
        const auto bytes = static_cast<std::size_t>(outcome.picture->image.sizeInBytes());
        kept_.insert(job.key, *outcome.picture, bytes,
                     [this](const std::string& key) { return wanted(key); });
    }
    if (job.forShow && showHandler_) {
        showHandler_(job.key, outcome.picture ? &*outcome.picture : nullptr, outcome.error);
    }
}

} // namespace harpoly::ui
