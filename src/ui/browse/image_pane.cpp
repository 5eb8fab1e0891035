#include "ui/browse/image_pane.h"

#include "core/imaging/metafile_reader.h"
#include "ui/browse/metafile_painter.h"

#include <QPaintEvent>
#include <QPainter>

#include <chrono>

namespace harpoly::ui {

ImagePane::ImagePane(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("IMG"));
}

void ImagePane::setPicture(QImage image, int ownWidth, int ownHeight) {
    metafile_.reset();
    metafileRaster_ = QImage();
    image_ = std::move(image);
    ownSize_ = QSize(ownWidth, ownHeight);
    updateMinimumSize();
    update();
}

void ImagePane::setMetafile(std::shared_ptr<const Metafile> picture) {
    image_ = QImage();
    metafileRaster_ = QImage();
    metafile_ = std::move(picture);
    ownSize_ = metafile_ ? QSize(metafile_->width, metafile_->height) : QSize();
    updateMinimumSize();
    update();
}

void ImagePane::clearPicture() {
    metafile_.reset();
    metafileRaster_ = QImage();
    image_ = QImage();
    ownSize_ = QSize();
    updateMinimumSize();
    update();
}

void ImagePane::setMode(PictureMode mode) {
    mode_ = mode;
    updateMinimumSize();
    update();
}

void ImagePane::updateMinimumSize() {
    setMinimumSize(mode_ == PictureMode::Natural && hasPicture() ? ownSize_ : QSize(0, 0));
}

QRect ImagePane::drawnRect() const {
    if (!hasPicture()) {
        return {};
    }
    const DrawRect r = pictureRect(ownSize_.width(), ownSize_.height(), width(), height(), mode_);
    return QRect(r.x, r.y, r.width, r.height);
}

void ImagePane::paintEvent(QPaintEvent* event) {
    if (!hasPicture()) {
        return;
    }
    QPainter painter(this);
    if (metafile_) {
        paintMetafilePicture(painter, event->rect());
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(drawnRect(), image_);
    painter.end();
    emit pictureDrawn(image_);
}

void ImagePane::paintMetafilePicture(QPainter& painter, const QRect& exposed) {
    const QRect drawn = drawnRect();
    if (drawn.isEmpty()) {
        return;
    }
    // A metafile leaves its background unpainted; it is shown on white, also
    // on the black full-screen area.
    if (qint64(drawn.width()) * drawn.height() > kMaxMetafileRasterPixels) {
        painter.fillRect(drawn.intersected(exposed), Qt::white);
        paintMetafile(painter, *metafile_, drawn, exposed, kMetafilePaintBudget);
        return;
    }
    if (metafileRaster_.size() != drawn.size()) {
        metafileRaster_ = renderMetafile(*metafile_, drawn.width(), drawn.height(), Qt::white,
                                         kMetafilePaintBudget);
    }
    painter.drawImage(drawn.topLeft(), metafileRaster_);
}

} // namespace harpoly::ui
