#include "ui/browse/image_pane.h"

#include <QPainter>

namespace harpoly::ui {

ImagePane::ImagePane(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("IMG"));
}

void ImagePane::setPicture(QImage image, int ownWidth, int ownHeight) {
    image_ = std::move(image);
    ownSize_ = QSize(ownWidth, ownHeight);
    updateMinimumSize();
    update();
}

void ImagePane::clearPicture() {
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

void ImagePane::paintEvent(QPaintEvent*) {
    if (!hasPicture()) {
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(drawnRect(), image_);
    painter.end();
    emit pictureDrawn(image_);
}

} // namespace harpoly::ui
