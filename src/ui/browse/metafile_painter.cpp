#include "ui/browse/metafile_painter.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRawFont>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <optional>
#include <vector>

namespace harpoly::ui {

namespace mf = harpoly::metafile;

namespace {

// Text is laid out at this pixel size and scaled to the size asked for, so
// that small and fractional sizes keep their proportions.
constexpr double kNominalFontPixels = 64;

QColor toColour(mf::Colour c) {
    return QColor::fromRgba(c);
}

Qt::FillRule toFillRule(mf::FillRule rule) {
    return rule == mf::FillRule::Winding ? Qt::WindingFill : Qt::OddEvenFill;
}

QPainter::CompositionMode shapeMode(mf::RasterOp op) {
    switch (op) {
    case mf::RasterOp::Xor:
        return QPainter::RasterOp_SourceXorDestination;
    case mf::RasterOp::InvertDest:
        return QPainter::RasterOp_NotDestination;
    default:
        return QPainter::CompositionMode_SourceOver;
    }
}

QPainter::CompositionMode bitmapMode(mf::RasterOp op) {
    switch (op) {
    case mf::RasterOp::Or:
        return QPainter::RasterOp_SourceOrDestination;
    case mf::RasterOp::And:
        return QPainter::RasterOp_SourceAndDestination;
    case mf::RasterOp::Xor:
        return QPainter::RasterOp_SourceXorDestination;
    case mf::RasterOp::NotCopy:
        return QPainter::RasterOp_NotSource;
    case mf::RasterOp::AndNotDest:
        return QPainter::RasterOp_SourceAndNotDestination;
    case mf::RasterOp::NotOr:
        return QPainter::RasterOp_NotSourceAndNotDestination;
    case mf::RasterOp::NotSourceOrDest:
        return QPainter::RasterOp_NotSourceOrDestination;
    case mf::RasterOp::InvertDest:
        return QPainter::RasterOp_NotDestination;
    default:
        return QPainter::CompositionMode_SourceOver;
    }
}

bool isRasterOp(QPainter::CompositionMode mode) {
    return mode >= QPainter::RasterOp_SourceOrDestination;
}

Qt::PenStyle toPenStyle(mf::PenStyle s) {
    switch (s) {
    case mf::PenStyle::Dash:
        return Qt::DashLine;
    case mf::PenStyle::Dot:
        return Qt::DotLine;
    case mf::PenStyle::DashDot:
        return Qt::DashDotLine;
    case mf::PenStyle::DashDotDot:
        return Qt::DashDotDotLine;
    case mf::PenStyle::None:
        return Qt::NoPen;
    default:
        return Qt::SolidLine;
    }
}

Qt::BrushStyle toHatch(mf::Hatch h) {
    switch (h) {
    case mf::Hatch::Vertical:
        return Qt::VerPattern;
    case mf::Hatch::ForwardDiagonal:
        return Qt::FDiagPattern;
    case mf::Hatch::BackwardDiagonal:
        return Qt::BDiagPattern;
    case mf::Hatch::Cross:
        return Qt::CrossPattern;
    case mf::Hatch::DiagonalCross:
        return Qt::DiagCrossPattern;
    default:
        return Qt::HorPattern;
    }
}

// An image of the drawing list as a QImage sharing its pixels.
QImage imageView(const RgbaImage& image) {
    if (image.empty()) {
        return {};
    }
    return QImage(reinterpret_cast<const uchar*>(image.pixels.data()), image.width, image.height,
                  QImage::Format_ARGB32);
}

// The clipping region of one clip step: a rectangle while every step so far
// was one (the common case, and cheap to set), else a path.
struct Region {
    bool isRect = true;
    QRectF rect;
    QPainterPath path;

    QPainterPath asPath() const {
        if (!isRect) {
            return path;
        }
        QPainterPath p;
        p.addRect(rect);
        return p;
    }
};

class ListPainter {
public:
    ListPainter(QPainter& painter, const Metafile& picture, const QRectF& target,
                const QRectF& exposed, std::chrono::milliseconds budget)
        : p_(painter), d_(picture.drawing) {
        if (budget > std::chrono::milliseconds::zero()) {
            deadline_ = std::chrono::steady_clock::now() + budget;
        }
        const double sx = target.width() / picture.width;
        const double sy = target.height() / picture.height;
        toTarget_ = QTransform(sx, 0, 0, sy, target.x(), target.y()) * painter.worldTransform();
        halfPixel_ = QPointF(0.5 / sx, 0.5 / sy);
        // At its own size or larger a picture is drawn on whole pixels, as
        // Windows draws it (and twice as fast); shrunk, its edges are smoothed
        // so that thin lines and small shapes do not break up.
        smoothEdges_ = std::abs(sx) < 1 || std::abs(sy) < 1;
        pixelScale_ = std::sqrt(std::abs(toTarget_.determinant()));
        pictureBox_ = QRectF(0, 0, picture.width, picture.height);
        QRectF wanted = exposed.isEmpty() ? target : exposed.intersected(target);
        visible_ = QTransform(sx, 0, 0, sy, target.x(), target.y())
                       .inverted()
                       .mapRect(wanted)
                       .intersected(pictureBox_);
        clips_.resize(d_.clips.size());
        fonts_.resize(d_.fonts.size());
        images_.resize(d_.images.size());
    }

    void run() {
        if (visible_.isEmpty()) {
            return;
        }
        p_.setRenderHint(QPainter::TextAntialiasing);
        setClip(-1);
        std::size_t count = 0;
        for (const mf::Item& item : d_.items) {
            if (++count % 64 == 0 && pastDeadline()) {
                return;
            }
            if (!inView(item.bounds)) {
                continue;
            }
            if (item.clip != clip_) {
                setClip(item.clip);
            }
            if (clipEmpty_) {
                continue;
            }
            switch (item.kind) {
            case mf::ItemKind::Shape:
                if (item.index < d_.shapes.size()) {
                    drawShape(d_.shapes[item.index]);
                }
                break;
            case mf::ItemKind::Text:
                if (item.index < d_.texts.size()) {
                    drawText(d_.texts[item.index]);
                }
                break;
            case mf::ItemKind::Bitmap:
                if (item.index < d_.bitmaps.size()) {
                    drawBitmap(d_.bitmaps[item.index]);
                }
                break;
            }
        }
    }

private:
    bool pastDeadline() const { return deadline_ && std::chrono::steady_clock::now() > *deadline_; }

    bool inView(const mf::Box& b) const {
        return b.right >= visible_.left() && b.left <= visible_.right() &&
               b.bottom >= visible_.top() && b.top <= visible_.bottom();
    }

    bool spanValid(const mf::PathSpan& s) const {
        return s.firstVerb <= d_.verbs.size() && s.verbCount <= d_.verbs.size() - s.firstVerb &&
               s.firstPoint <= d_.points.size() && s.pointCount <= d_.points.size() - s.firstPoint;
    }

    QPainterPath toPath(const mf::PathSpan& s, mf::FillRule rule) const {
        QPainterPath path;
        path.setFillRule(toFillRule(rule));
        if (!spanValid(s)) {
            return path;
        }
        const mf::Point* pt = d_.points.data() + s.firstPoint;
        std::size_t left = s.pointCount;
        for (std::uint32_t i = 0; i < s.verbCount; ++i) {
            switch (d_.verbs[s.firstVerb + i]) {
            case mf::Verb::Move:
            case mf::Verb::Line:
                if (left < 1) {
                    return path;
                }
                if (d_.verbs[s.firstVerb + i] == mf::Verb::Move) {
                    path.moveTo(pt->x, pt->y);
                } else {
                    path.lineTo(pt->x, pt->y);
                }
                ++pt;
                --left;
                break;
            case mf::Verb::Cubic:
                if (left < 3) {
                    return path;
                }
                path.cubicTo(pt[0].x, pt[0].y, pt[1].x, pt[1].y, pt[2].x, pt[2].y);
                pt += 3;
                left -= 3;
                break;
            case mf::Verb::Close:
                path.closeSubpath();
                break;
            }
        }
        return path;
    }

    // A single figure of straight lines: drawn as a polygon, which is much
    // quicker than a general path.
    std::optional<QPolygonF> simplePolygon(const mf::PathSpan& s, bool& closed) const {
        if (!spanValid(s) || s.verbCount < 2 || s.pointCount < 2 ||
            d_.verbs[s.firstVerb] != mf::Verb::Move) {
            return std::nullopt;
        }
        closed = false;
        for (std::uint32_t i = 1; i < s.verbCount; ++i) {
            const mf::Verb v = d_.verbs[s.firstVerb + i];
            if (v == mf::Verb::Close && i == s.verbCount - 1) {
                closed = true;
            } else if (v != mf::Verb::Line) {
                return std::nullopt;
            }
        }
        QPolygonF polygon(static_cast<int>(s.pointCount));
        for (std::uint32_t i = 0; i < s.pointCount; ++i) {
            const mf::Point& q = d_.points[s.firstPoint + i];
            polygon[static_cast<int>(i)] = QPointF(q.x, q.y);
        }
        return polygon;
    }

    // A rectangle of the picture's coordinates, when the span is one.
    std::optional<QRectF> spanRect(const mf::PathSpan& s) const {
        bool closed = false;
        const std::optional<QPolygonF> polygon = simplePolygon(s, closed);
        if (!polygon || polygon->size() != 4) {
            return std::nullopt;
        }
        const QPolygonF& q = *polygon;
        const bool horizontalFirst = q[0].y() == q[1].y() && q[1].x() == q[2].x() &&
                                     q[2].y() == q[3].y() && q[3].x() == q[0].x();
        const bool verticalFirst = q[0].x() == q[1].x() && q[1].y() == q[2].y() &&
                                   q[2].x() == q[3].x() && q[3].y() == q[0].y();
        if (!horizontalFirst && !verticalFirst) {
            return std::nullopt;
        }
        return QRectF(q[0], q[2]).normalized();
    }

    const Region& region(std::int32_t index) {
        // Each step's parent comes before it, so resolving from the oldest
        // unresolved ancestor down needs no recursion.
        std::vector<std::int32_t> chain;
        for (std::int32_t i = index; i >= 0 && !clips_[static_cast<std::size_t>(i)];
             i = d_.clips[static_cast<std::size_t>(i)].parent) {
            chain.push_back(i);
            if (d_.clips[static_cast<std::size_t>(i)].parent >= i) {
                break; // a malformed chain ends here
            }
        }
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
            const mf::ClipStep& step = d_.clips[static_cast<std::size_t>(*it)];
            Region parent;
            if (step.parent >= 0 && step.parent < *it &&
                clips_[static_cast<std::size_t>(step.parent)]) {
                parent = *clips_[static_cast<std::size_t>(step.parent)];
            } else {
                parent.rect = pictureBox_;
            }
            // Past the deadline, the remaining steps of a long chain are left out.
            clips_[static_cast<std::size_t>(*it)] = pastDeadline() ? parent : combine(parent, step);
        }
        return *clips_[static_cast<std::size_t>(index)];
    }

    Region combine(const Region& parent, const mf::ClipStep& step) const {
        Region out;
        if (step.op == mf::ClipOp::Offset) {
            out = parent;
            out.rect.translate(step.offset.x, step.offset.y);
            out.path.translate(step.offset.x, step.offset.y);
            return out;
        }
        const std::optional<QRectF> rect = spanRect(step.path);
        if (rect && (step.op == mf::ClipOp::Replace ||
                     (step.op == mf::ClipOp::Intersect && parent.isRect))) {
            out.rect =
                (step.op == mf::ClipOp::Replace ? pictureBox_ : parent.rect).intersected(*rect);
            return out;
        }
        QPainterPath shape = toPath(step.path, step.fillRule);
        QPainterPath base = parent.asPath();
        out.isRect = false;
        switch (step.op) {
        case mf::ClipOp::Intersect:
            out.path = base.intersected(shape);
            break;
        case mf::ClipOp::Unite:
            out.path = base.united(shape);
            break;
        case mf::ClipOp::Xor:
            out.path = base.subtracted(shape).united(shape.subtracted(base));
            break;
        case mf::ClipOp::Subtract:
            out.path = base.subtracted(shape);
            break;
        default: {
            QPainterPath box;
            box.addRect(pictureBox_);
            out.path = shape.intersected(box);
            break;
        }
        }
        return out;
    }

    void setClip(std::int32_t index) {
        clip_ = index;
        useTargetTransform(); // clips are in picture pixels
        if (index < 0 || static_cast<std::size_t>(index) >= clips_.size()) {
            p_.setClipRect(pictureBox_);
            clipEmpty_ = false;
        } else {
            const Region& r = region(index);
            if (r.isRect) {
                p_.setClipRect(r.rect);
                clipEmpty_ = r.rect.isEmpty();
            } else {
                p_.setClipPath(r.path);
                clipEmpty_ = r.path.isEmpty();
            }
        }
    }

    void applyStyle(std::uint32_t index) {
        if (index == style_) {
            return;
        }
        style_ = index;
        const mf::Style& s = d_.styles[index];
        // A pen that comes out at most about a pixel wide on the target is
        // drawn as a one-pixel line: it looks the same, and is many times
        // quicker to draw than the outline of a wide pen.
        thinPen_ = s.pen.width * pixelScale_ <= 1.5;
        QPen pen(toColour(s.pen.colour));
        pen.setStyle(toPenStyle(s.pen.style));
        pen.setWidthF(thinPen_ ? 0 : s.pen.width);
        pen.setCosmetic(thinPen_);
        pen.setCapStyle(s.pen.cap == mf::LineCap::Flat     ? Qt::FlatCap
                        : s.pen.cap == mf::LineCap::Square ? Qt::SquareCap
                                                           : Qt::RoundCap);
        pen.setJoinStyle(s.pen.join == mf::LineJoin::Bevel   ? Qt::BevelJoin
                         : s.pen.join == mf::LineJoin::Miter ? Qt::MiterJoin
                                                             : Qt::RoundJoin);
        pen_ = pen;
        switch (s.brush.style) {
        case mf::BrushStyle::None:
            brush_ = Qt::NoBrush;
            break;
        case mf::BrushStyle::Hatch:
            brush_ = QBrush(toColour(s.brush.colour), toHatch(s.brush.hatch));
            break;
        case mf::BrushStyle::Pattern:
            if (s.brush.pattern >= 0 &&
                static_cast<std::size_t>(s.brush.pattern) < images_.size()) {
                brush_ = QBrush(image(static_cast<std::size_t>(s.brush.pattern)));
            } else {
                brush_ = QBrush(Qt::gray);
            }
            break;
        default:
            brush_ = QBrush(toColour(s.brush.colour));
            break;
        }
        p_.setBackgroundMode(s.opaqueBackground ? Qt::OpaqueMode : Qt::TransparentMode);
        p_.setBackground(toColour(s.background));
    }

    const QImage& image(std::size_t index) {
        if (!images_[index]) {
            images_[index] = imageView(d_.images[index]);
        }
        return *images_[index];
    }

    // Shapes, text and bitmaps each set the transform they need; shapes use
    // the picture-to-target one, set here only when another was in force.
    void useTargetTransform() {
        if (!targetTransform_) {
            p_.setWorldTransform(toTarget_);
            targetTransform_ = true;
        }
    }

    void drawShape(const mf::Shape& shape) {
        if (shape.style >= d_.styles.size()) {
            return;
        }
        applyStyle(shape.style);
        useTargetTransform();
        const QPainter::CompositionMode mode = shapeMode(shape.op);
        p_.setCompositionMode(mode);
        p_.setRenderHint(QPainter::Antialiasing, smoothEdges_ && !isRasterOp(mode));
        const mf::FillRule rule = d_.styles[shape.style].fillRule;
        bool closed = false;
        std::optional<QPolygonF> polygon = simplePolygon(shape.path, closed);
        std::optional<QPainterPath> path;
        if (!polygon) {
            path = toPath(shape.path, rule);
        }
        // A wide pen is drawn with the fill in one go; a thin one sits on
        // pixel centres, as Windows draws a one-pixel line on the pixels of
        // its coordinates, so it is drawn half a pixel further on.
        const bool together = shape.fill && shape.stroke && !thinPen_;
        if (shape.fill) {
            p_.setPen(together ? pen_ : QPen(Qt::NoPen));
            p_.setBrush(brush_);
            if (polygon) {
                p_.drawPolygon(*polygon, toFillRule(rule));
            } else {
                p_.drawPath(*path);
            }
            if (together) {
                return;
            }
        }
        if (!shape.stroke) {
            return;
        }
        p_.setPen(pen_);
        p_.setBrush(Qt::NoBrush);
        const QPointF shift = thinPen_ ? halfPixel_ : QPointF();
        if (polygon) {
            polygon->translate(shift);
            if (closed) {
                p_.drawPolygon(*polygon);
            } else {
                p_.drawPolyline(*polygon);
            }
        } else {
            p_.drawPath(path->translated(shift));
        }
    }

    struct FontInfo {
        QFont font;
        QFontMetricsF metrics{QFont()};
        QRawFont raw;
        double scale = 1;  // nominal pixels to picture pixels
        double ascent = 0; // nominal pixels
        double descent = 0;
        double stretch = 1; // from a width the font asks for
    };

    const FontInfo& font(std::uint32_t index) {
        std::optional<FontInfo>& slot = fonts_[index];
        if (slot) {
            return *slot;
        }
        const mf::Font& f = d_.fonts[index];
        FontInfo info;
        QFont& q = info.font;
        if (!f.family.empty()) {
            q.setFamilies({QString::fromStdString(f.family)});
        }
        switch (f.pitchAndFamily & 0xF0) {
        case 0x10:
            q.setStyleHint(QFont::Serif);
            break;
        case 0x30:
            q.setStyleHint(QFont::Monospace);
            break;
        case 0x40:
            q.setStyleHint(QFont::Cursive);
            break;
        case 0x50:
            q.setStyleHint(QFont::Decorative);
            break;
        default:
            q.setStyleHint(QFont::SansSerif);
            break;
        }
        q.setPixelSize(static_cast<int>(kNominalFontPixels));
        q.setWeight(static_cast<QFont::Weight>(std::clamp(f.weight, 100, 900)));
        q.setItalic(f.italic);
        q.setUnderline(f.underline);
        q.setStrikeOut(f.strikeout);
        q.setKerning(false);
        q.setHintingPreference(QFont::PreferNoHinting);
        info.metrics = QFontMetricsF(q);
        info.raw = QRawFont::fromFont(q);
        info.ascent = info.metrics.ascent();
        info.descent = info.metrics.descent();
        double em = f.height > 0 ? f.height : 16;
        if (f.cellHeight && info.ascent + info.descent > 0) {
            em = em * kNominalFontPixels / (info.ascent + info.descent);
        }
        info.scale = em / kNominalFontPixels;
        if (f.width > 0 && info.metrics.averageCharWidth() > 0) {
            info.stretch = f.width / info.scale / info.metrics.averageCharWidth();
        }
        slot = std::move(info);
        return *slot;
    }

    void drawText(const mf::Text& t) {
        if (t.font >= d_.fonts.size() || !(std::isfinite(t.origin.x) && std::isfinite(t.angle))) {
            return;
        }
        const FontInfo& f = font(t.font);
        if (!(f.scale > 0) || !std::isfinite(f.scale)) {
            return;
        }
        const QString text = QString::fromStdString(t.text);
        const bool placed = !t.advances.empty();
        // Glyphs widen when the font asks for a width of its own, unless the
        // file places every character itself.
        const double stretch = placed ? 1 : f.stretch;
        // The font's own face draws the run glyph by glyph at the places the
        // file gives (or at the face's own advances) when it has every
        // character; otherwise other faces stand in through ordinary text
        // drawing.
        QList<quint32> glyphs;
        if (f.raw.isValid()) {
            glyphs = f.raw.glyphIndexesForString(text);
        }
        const bool ownFace =
            !glyphs.isEmpty() && !glyphs.contains(0u) &&
            (!placed || static_cast<std::size_t>(glyphs.size()) == t.advances.size());
        // Each character's advance in nominal pixels, before widening.
        std::vector<double> steps;
        if (placed) {
            for (const float a : t.advances) {
                steps.push_back(a / f.scale);
            }
        } else if (ownFace) {
            for (const QPointF& a : f.raw.advancesForGlyphIndexes(glyphs)) {
                steps.push_back(a.x());
            }
        }
        double width = 0;
        if (!steps.empty()) {
            for (const double step : steps) {
                width += step;
            }
            width *= stretch;
        } else if (t.hAlign != mf::HAlign::Left || t.opaqueBackground) {
            width = f.metrics.horizontalAdvance(text) * stretch;
        }
        double x = 0;
        if (t.hAlign == mf::HAlign::Centre) {
            x = -width / 2;
        } else if (t.hAlign == mf::HAlign::Right) {
            x = -width;
        }
        double y = 0; // baseline
        if (t.vAlign == mf::VAlign::Top) {
            y = f.ascent;
        } else if (t.vAlign == mf::VAlign::Bottom) {
            y = -f.descent;
        }
        QTransform place;
        place.translate(t.origin.x, t.origin.y);
        place.rotate(t.angle);
        place.scale(f.scale, f.scale);
        p_.setWorldTransform(place * toTarget_);
        targetTransform_ = false;
        p_.setCompositionMode(QPainter::CompositionMode_SourceOver);
        p_.setRenderHint(QPainter::Antialiasing);
        p_.setBackgroundMode(Qt::TransparentMode);
        style_ = UINT32_MAX; // the background mode is the style's again next time
        if (t.opaqueBackground) {
            p_.fillRect(QRectF(x, y - f.ascent, width, f.ascent + f.descent),
                        toColour(t.background));
        }
        p_.setPen(toColour(t.colour));
        p_.setFont(f.font);
        p_.scale(stretch, 1);
        x /= stretch;
        if (ownFace) {
            QList<QPointF> positions;
            positions.reserve(glyphs.size());
            for (std::size_t i = 0; i < steps.size(); ++i) {
                positions.append(QPointF(x, y));
                x += steps[i];
            }
            QGlyphRun run;
            run.setRawFont(f.raw);
            run.setGlyphIndexes(glyphs);
            run.setPositions(positions);
            run.setUnderline(f.font.underline());
            run.setStrikeOut(f.font.strikeOut());
            p_.drawGlyphRun(QPointF(), run);
        } else if (!placed) {
            p_.drawText(QPointF(x, y), text);
        } else {
            std::size_t i = 0;
            for (const uint c : text.toUcs4()) {
                const QString one = QString::fromUcs4(reinterpret_cast<const char32_t*>(&c), 1);
                p_.drawText(QPointF(x, y), one);
                x += i < steps.size() ? steps[i] : 0;
                ++i;
            }
        }
    }

    void drawBitmap(const mf::Bitmap& b) {
        if (b.image >= images_.size() || b.srcWidth <= 0 || b.srcHeight <= 0) {
            return;
        }
        const QImage& img = image(b.image);
        if (img.isNull()) {
            return;
        }
        const QTransform place(b.xAxis.x / b.srcWidth, b.xAxis.y / b.srcWidth,
                               b.yAxis.x / b.srcHeight, b.yAxis.y / b.srcHeight, b.origin.x,
                               b.origin.y);
        const QTransform full = place * toTarget_;
        const QPainter::CompositionMode mode = bitmapMode(b.op);
        p_.setWorldTransform(full);
        targetTransform_ = false;
        p_.setCompositionMode(mode);
        // Shrunk pictures are smoothed; enlarged ones keep their pixels, as
        // Windows stretches them, unless the file asked for halftone.
        const bool shrunk = std::abs(full.determinant()) < 1;
        p_.setRenderHint(QPainter::SmoothPixmapTransform,
                         !isRasterOp(mode) && (shrunk || b.smooth));
        p_.setRenderHint(QPainter::Antialiasing, false);
        p_.setOpacity(b.op == mf::RasterOp::Blend ? b.constantAlpha / 255.0 : 1.0);
        p_.drawImage(QRectF(0, 0, b.srcWidth, b.srcHeight), img,
                     QRectF(b.srcX, b.srcY, b.srcWidth, b.srcHeight));
        p_.setOpacity(1.0);
    }

    QPainter& p_;
    const mf::Drawing& d_;
    QTransform toTarget_;
    QPointF halfPixel_;
    bool targetTransform_ = false;
    bool smoothEdges_ = false;
    double pixelScale_ = 1;
    QRectF pictureBox_;
    QRectF visible_;
    std::vector<std::optional<Region>> clips_;
    std::vector<std::optional<FontInfo>> fonts_;
    std::vector<std::optional<QImage>> images_;
    std::int32_t clip_ = -2;
    bool clipEmpty_ = false;
    std::uint32_t style_ = UINT32_MAX;
    QPen pen_;
    QBrush brush_;
    bool thinPen_ = false;
    std::optional<std::chrono::steady_clock::time_point> deadline_;
};

} // namespace

void paintMetafile(QPainter& painter, const Metafile& picture, const QRectF& target,
                   const QRectF& exposed, std::chrono::milliseconds budget) {
    if (picture.width <= 0 || picture.height <= 0 || target.isEmpty()) {
        return;
    }
    painter.save();
    ListPainter(painter, picture, target, exposed, budget).run();
    painter.restore();
}

QImage renderMetafile(const Metafile& picture, int width, int height, QColor background,
                      std::chrono::milliseconds budget) {
    QImage image(std::max(width, 1), std::max(height, 1), QImage::Format_ARGB32_Premultiplied);
    image.fill(background);
    QPainter painter(&image);
    paintMetafile(painter, picture, QRectF(0, 0, width, height), {}, budget);
    return image;
}

} // namespace harpoly::ui
