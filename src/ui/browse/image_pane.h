#pragma once

#include "core/imaging/fit_rect.h"

#include <QImage>
#include <QWidget>

namespace harpoly::ui {

// The picture pane `IMG`. Holds one picture with its own size (the decoded
// image may be a reduced copy) and draws it by the picture rule of its mode:
// fit (shrunk into the pane, centred, never enlarged) or natural (own size at
// the top-left; the pane then asks for that size so that the box scrolls).
class ImagePane : public QWidget {
    Q_OBJECT
public:
    explicit ImagePane(QWidget* parent = nullptr);

    void setPicture(QImage image, int ownWidth, int ownHeight);
    void clearPicture();
    bool hasPicture() const { return !image_.isNull(); }
    const QImage& picture() const { return image_; }
    QSize ownSize() const { return ownSize_; }

    void setMode(PictureMode mode);
    PictureMode mode() const { return mode_; }
    // Where the picture is drawn in the pane now.
    QRect drawnRect() const;

signals:
    // The pane has just painted `picture` (the one it holds).
    void pictureDrawn(const QImage& picture);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void updateMinimumSize();

    QImage image_;
    QSize ownSize_;
    PictureMode mode_ = PictureMode::Fit;
};

} // namespace harpoly::ui
