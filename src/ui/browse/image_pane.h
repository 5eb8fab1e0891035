#pragma once

#include "core/imaging/fit_rect.h"

#include <QImage>
#include <QWidget>

#include <chrono>
#include <memory>

class QPainter;

namespace harpoly {
struct Metafile;
}

namespace harpoly::ui {

// A metafile drawn larger than this is painted straight into the pane, only
// where it is exposed, instead of into a raster kept between paints.
inline constexpr qint64 kMaxMetafileRasterPixels = 4096 * 4096;
// A hostile drawing list of a million shapes must not hold the window.
inline constexpr std::chrono::milliseconds kMetafilePaintBudget{2000};

// The picture pane `IMG`. Holds one picture with its own size (the decoded
// image may be a reduced copy) and draws it by the picture rule of its mode:
// fit (shrunk into the pane, centred, never enlarged) or natural (own size at
// the top-left; the pane then asks for that size so that the box scrolls).
// A metafile can be held as its drawing list and drawn at the drawn size
// itself, so that it is sharp at any size (the preview gives it a metafile
// drawn into an image off the window thread, unless that would be too large).
class ImagePane : public QWidget {
    Q_OBJECT
public:
    explicit ImagePane(QWidget* parent = nullptr);

    void setPicture(QImage image, int ownWidth, int ownHeight);
    void setMetafile(std::shared_ptr<const Metafile> picture);
    void clearPicture();
    bool hasPicture() const { return !image_.isNull() || metafile_ != nullptr; }
    // Whether the picture is a drawing list that the pane draws itself.
    bool drawsDrawingList() const { return metafile_ != nullptr; }
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
    void paintMetafilePicture(QPainter& painter, const QRect& exposed);

    QImage image_;
    std::shared_ptr<const Metafile> metafile_;
    // The metafile drawn at the fit size, kept until that size changes.
    QImage metafileRaster_;
    QSize ownSize_;
    PictureMode mode_ = PictureMode::Fit;
};

} // namespace harpoly::ui
