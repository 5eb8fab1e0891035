#pragma once

#include "core/imaging/metafile_reader.h"

#include <QColor>
#include <QImage>
#include <QRectF>

class QPainter;

namespace harpoly::ui {

// Draws a metafile's drawing list so that the picture's own size fills
// `target` (in the painter's current coordinates), at whatever size that is:
// shapes, text and bitmaps are drawn for the target size, not scaled from a
// bitmap of the picture. Nothing is drawn outside `target`. Only the part of
// the picture inside `exposed` (painter coordinates; empty for all of it) is
// worked on, so that a large picture scrolled in a small window draws
// quickly. The painter's state is restored afterwards.
void paintMetafile(QPainter& painter, const Metafile& picture, const QRectF& target,
                   const QRectF& exposed = {});

// The picture drawn into a new image of `width` x `height` on `background`.
QImage renderMetafile(const Metafile& picture, int width, int height,
                      QColor background = Qt::white);

} // namespace harpoly::ui
