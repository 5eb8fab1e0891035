#pragma once

#include "core/imaging/metafile_reader.h"

#include <QColor>
#include <QImage>
#include <QRectF>

#include <chrono>

class QPainter;

namespace harpoly::ui {

// Draws a metafile's drawing list so that the picture's own size fills
// `target` (in the painter's current coordinates), at whatever size that is:
// shapes, text and bitmaps are drawn for the target size, not scaled from a
// bitmap of the picture. Nothing is drawn outside `target`. Only the part of
// the picture inside `exposed` (painter coordinates; empty for all of it) is
// considered: shapes wholly outside it are skipped, so that a large picture
// scrolled in a small window draws quickly. A file may hold a million shapes
// that each cover the whole picture; with a `budget` (zero: none), drawing
// stops when that time is spent and the rest of the list is left out. The
// painter's state is restored afterwards.
void paintMetafile(QPainter& painter, const Metafile& picture, const QRectF& target,
                   const QRectF& exposed = {},
                   std::chrono::milliseconds budget = std::chrono::milliseconds::zero());

// The picture drawn into a new image of `width` x `height` on `background`.
QImage renderMetafile(const Metafile& picture, int width, int height, QColor background = Qt::white,
                      std::chrono::milliseconds budget = std::chrono::milliseconds::zero());

} // namespace harpoly::ui
