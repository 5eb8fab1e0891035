#pragma once

#include "core/imaging/fit_rect.h"

#include <QImage>
#include <QWidget>

#include <memory>

class QPainter;

namespace harpoly {
struct Metafile;
}

namespace harpoly::ui {

// The picture pane `IMG`. Holds one picture with its own size (the decoded
// image may be a reduced copy) and draws it by the picture rule of its mode:
// fit (shrunk into the pane, centred, never enlarged) or natural (own size at
// the top-left; the pane then asks for that size so that the box scrolls).
// A metafile is held as its drawing list and drawn at the drawn size itself,
// so that it is sharp at any size.
class ImagePane : public QWidget {
    Q_OBJECT
public:
    explicit ImagePane(QWidget* parent = nullptr);

    void setPicture(QImage image, int ownWidth, int ownHeight);
    void setMetafile(std::shared_ptr<const Metafile> picture);
    void clearPicture();
    bool hasPicture() const { return !image_.isNull() || metafile_ != nullptr; }
    const QImage& picture() const { return image_; }
    QSize ownSize() const { return ownSize_; }

    void setMode(PictureMode mode);
    PictureMode mode() const { return mode_; }
    // Where the picture is drawn in the pane now.
    QRect drawnRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void updateMinimumSize();
    void paintMetafilePicture(QPainter& painter, const QRect& exposed);

    QImage image_;
    std::shared_ptr<const Metafile> metafile_;
    // The metafile drawn at the fit size, kept until that size changes.
    QImage metafileRaster_;
    QSize ownSize_;
    PictureMode mode_ = PictureMode::Fit;
};

} // namespace harpoly::ui
