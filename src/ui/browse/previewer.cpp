#include "ui/browse/previewer.h"

#include "core/browse/preview.h"
#include "core/browse/read_ahead.h"
#include "core/imaging/metafile_reader.h"
#include "core/imaging/picture_header.h"
#include "ui/app/harpoly_application.h"
#include "ui/browse/image_pane.h"
#include "ui/browse/media_preview.h"
#include "ui/browse/picture_reader.h"
#include "ui/browse/preview_box.h"
#include "ui/browse/preview_images.h"
#include "ui/browse/preview_status.h"
#include "ui/browse/text_pane.h"

#include <QEvent>

namespace harpoly::ui {

namespace {

// A resize of the preview area counts as settled when no other follows
// within this time (a dragged splitter or window edge sends many).
constexpr int kResizeSettleMs = 200;

} // namespace

Previewer::Previewer(PreviewBox& box, QWidget& home, PreviewStatus& status)
    : box_(box), status_(status), media_(new MediaPreview(box, home, status)),
      reader_(new PictureReader(&home)) {
    reader_->setShowHandler(
        [this](const std::string& key, const ReadyPicture* picture, std::exception_ptr error) {
            pictureDecoded(key, picture, std::move(error));
        });
    resizeSettled_.setSingleShot(true);
    resizeSettled_.setInterval(kResizeSettleMs);
    connect(&resizeSettled_, &QTimer::timeout, this,
            [this] { runReported([this] { refitPicture(); }); });
    box_.viewport()->installEventFilter(this);
}

Previewer::~Previewer() {
    reader_->setShowHandler({});
    reader_->stopAll();
}

void Previewer::clearPreview() {
    box_.clearPanes();
    media_->stop();
    picture_.reset();
}

void Previewer::stopPreview() {
    clearPreview();
    reader_->stopAll();
}

bool Previewer::mediaOpen() const {
    return media_->isOpen();
}

void Previewer::previewEntry(const PreviewRequest& request) {
    // The information line stays until one of the ways in show() writes it.
    clearPreview();
    status_.showElapsed({});
    folder_ = request.folder;
    readAhead_ = request.previewOff ? std::vector<std::string>{} : request.readAhead;
    const PreviewPlan plan = planPreview(request.folder, request.name, request.previewOff, lists_);
    // The full-screen name panel follows the chosen file; with none chosen it
    // keeps what it showed.
    if (plan.fileChosen) {
        status_.showFullScreenName(QString::fromStdString(plan.fullScreenNameText));
    }
    if (plan.show != PreviewShow::Image) {
        // No decode for another entry goes on behind this preview.
        reader_->stopAll();
    }
    try {
        show(plan, request.autoPlay);
    } catch (...) {
        reader_->stopAll(); // a picture refused at its header, as any other failure
        throw;
    }
    // A picture reads ahead once it is on show.
    if (plan.show != PreviewShow::Image) {
        readAheadNeighbours();
    }
}

void Previewer::show(const PreviewPlan& plan, bool autoPlay) {
    switch (plan.show) {
    case PreviewShow::Nothing:
        status_.showInfo(plan.infoLine);
        break;
    case PreviewShow::Text: {
        status_.showInfo(plan.sizeText);
        box_.textPane()->load(plan.path);
        box_.textPane()->show();
        break;
    }
    case PreviewShow::Media:
        media_->open(plan.path, plan.sizeText, autoPlay);
        break;
    case PreviewShow::Image:
        showPictureFile(plan);
        break;
    case PreviewShow::Icon: {
        // An icon's image is small (kMaxIconSide at most): read at once.
        const DecodedPicture icon = loadIconPreview(plan.path);
        status_.showInfo(pictureInfoLine(icon.width, icon.height, plan.sizeText));
        showPicture(ReadyPicture{toQImage(icon.image), icon.width, icon.height, nullptr});
        break;
    }
    }
}

// ---------------------------------------------------------------- pictures

PictureRequest Previewer::pictureRequest(const std::string& path,
                                         const std::string& extLower) const {
    PictureRequest request{path, extLower, 0, 0, nullptr};
    // Fitted into the area, a JPEG is decoded at the smallest scale that
    // still fills the drawn size; at its own size it is decoded whole.
    if (box_.picturePane()->mode() == PictureMode::Fit) {
        const QSize area = box_.paneSize();
        request.boxWidth = area.width();
        request.boxHeight = area.height();
    }
    return request;
}

void Previewer::showPictureFile(const PreviewPlan& plan) {
    if (isMetafileExtension(plan.extLower)) {
        // A metafile's own size needs the whole file (a plain WMF's comes
        // from what it draws): it is read here, within the reader's bounds,
        // and drawn off the window thread, which is what takes time.
        PictureRequest request = pictureRequest(plan.path, plan.extLower);
        request.metafile = std::make_shared<const Metafile>(readMetafileFile(plan.path));
        status_.showInfo(
            pictureInfoLine(request.metafile->width, request.metafile->height, plan.sizeText));
        fetchPicture(request);
        return;
    }
    // The header alone gives the information line at once; a header that
    // the decoder would refuse is reported here, as a failed load is.
    const PixelSize size = readPictureSize(plan.path, plan.extLower);
    status_.showInfo(pictureInfoLine(size.width, size.height, plan.sizeText));
    fetchPicture(pictureRequest(plan.path, plan.extLower));
}

void Previewer::fetchPicture(const PictureRequest& request) {
    const QSize area = box_.paneSize();
    reader_->setBudget(keptPicturesBudget(area.width(), area.height()));
    picture_ = PictureShow{PictureReader::keyOf(request), request, true};
    if (const std::optional<ReadyPicture> kept = reader_->kept(picture_->key)) {
        reader_->showingKept(picture_->key);
        picture_->waiting = false;
        showPicture(*kept);
        readAheadNeighbours();
        return;
    }
    reader_->decodeForShow(picture_->key, request);
}

void Previewer::pictureDecoded(const std::string& key, const ReadyPicture* picture,
                               std::exception_ptr error) {
    // Only the decode of the picture on show now is ever shown.
    if (!picture_ || !picture_->waiting || picture_->key != key) {
        return;
    }
    picture_->waiting = false;
    if (picture != nullptr) {
        showPicture(*picture);
    } else {
        picture_.reset();
        box_.picturePane()->hide();
        box_.picturePane()->clearPicture();
        runReported([&] { std::rethrow_exception(error); });
    }
    readAheadNeighbours();
}

void Previewer::showPicture(const ReadyPicture& picture) {
    ImagePane* pane = box_.picturePane();
    if (picture.image.isNull() && picture.metafile) {
        pane->setMetafile(picture.metafile); // too large for a raster: drawn where exposed
    } else {
        pane->setPicture(picture.image, picture.ownWidth, picture.ownHeight);
    }
    pane->show();
}

void Previewer::refitPicture() {
    if (!picture_) {
        return;
    }
    PictureRequest now = pictureRequest(picture_->request.path, picture_->request.extLower);
    now.metafile = picture_->request.metafile;
    const bool sameBox =
        now.boxWidth == picture_->request.boxWidth && now.boxHeight == picture_->request.boxHeight;
    if (sameBox) {
        return;
    }
    if (!picture_->waiting && !box_.picturePane()->drawsDrawingList()) {
        const ImagePane* pane = box_.picturePane();
        const QSize have = pane->picture().size();
        const QSize own = pane->ownSize();
        bool suits = false;
        if (now.boxWidth == 0) {
            suits = have == own; // natural size wants the whole picture
        } else {
            const QSize drawn = pane->drawnRect().size();
            const bool blurred = (have.width() < drawn.width() || have.height() < drawn.height()) &&
                                 have.width() < own.width() && have.height() < own.height();
            // Far more pixels than drawn cost memory and time at every paint.
            const bool wasteful = static_cast<qint64>(have.width()) * have.height() >
                                  2 * static_cast<qint64>(drawn.width()) * drawn.height();
            suits = !blurred && !wasteful;
        }
        if (suits) {
            return;
        }
    }
    // The picture on show stays until the new one arrives.
    fetchPicture(now);
}

void Previewer::readAheadNeighbours() {
    std::vector<std::pair<std::string, PictureRequest>> pictures;
    for (const std::string& name : readAhead_) {
        const PreviewPlan plan = planPreview(folder_, name, false, lists_);
        if (plan.show == PreviewShow::Image &&
            (hasPictureDecoder(plan.extLower) || isMetafileExtension(plan.extLower))) {
            PictureRequest request = pictureRequest(plan.path, plan.extLower);
            std::string key = PictureReader::keyOf(request);
            pictures.emplace_back(std::move(key), std::move(request));
        }
    }
    readAhead_.clear();
    if (!pictures.empty()) {
        reader_->readAhead(std::move(pictures));
    }
}

bool Previewer::eventFilter(QObject* watched, QEvent* event) {
    if (watched == box_.viewport() && event->type() == QEvent::Resize && picture_) {
        resizeSettled_.start();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace harpoly::ui
