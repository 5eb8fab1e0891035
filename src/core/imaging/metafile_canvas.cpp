#include "core/imaging/metafile_canvas.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace harpoly::metafile {

namespace {

// Picture coordinates further out than this are clamped: nothing that far is
// seen, and the rasteriser is spared absurd values from damaged files.
constexpr double kFar = 1e6;

float clampCoordinate(double v) {
    if (!std::isfinite(v)) {
        return 0;
    }
    return static_cast<float>(std::clamp(v, -kFar, kFar));
}

double degrees(double radians) {
    return radians * 180 / std::numbers::pi;
}

double radians(double degrees) {
    return degrees * std::numbers::pi / 180;
}

Box boundsOf(std::span<const Point> points, float margin) {
    Box b{points[0].x, points[0].y, points[0].x, points[0].y};
    for (const Point& p : points) {
        b.left = std::min(b.left, p.x);
        b.top = std::min(b.top, p.y);
        b.right = std::max(b.right, p.x);
        b.bottom = std::max(b.bottom, p.y);
    }
    b.left -= margin;
    b.top -= margin;
    b.right += margin;
    b.bottom += margin;
    return b;
}

// The picture's pixels per logical unit of a fixed mapping mode, in mm.
double unitMillimetres(MapMode mode) {
    switch (mode) {
    case MapMode::LoMetric:
        return 0.1;
    case MapMode::HiMetric:
        return 0.01;
    case MapMode::LoEnglish:
        return 0.254;
    case MapMode::HiEnglish:
        return 0.0254;
    case MapMode::Twips:
        return 25.4 / 1440;
    default:
        return 0;
    }
}

bool dashed(PenStyle s) {
    return s == PenStyle::Dash || s == PenStyle::Dot || s == PenStyle::DashDot ||
           s == PenStyle::DashDotDot;
}

} // namespace

Canvas::Canvas(Drawing& out, const MetafileLimits& limits, const Device& device)
    : out_(out), limits_(limits), device_(device) {
    if (device_.wmf) {
        dc_.mapMode = MapMode::Anisotropic;
    }
    mappingChanged();
}

// ---------------------------------------------------------------- mapping

void Canvas::mappingChanged() {
    Matrix page;
    const MapMode mode = dc_.mapMode;
    double sx = 1;
    double sy = 1;
    if (mode == MapMode::Isotropic || mode == MapMode::Anisotropic) {
        sx = dc_.windowExt.x != 0 ? dc_.viewportExt.x / dc_.windowExt.x : 0;
        sy = dc_.windowExt.y != 0 ? dc_.viewportExt.y / dc_.windowExt.y : 0;
        if (mode == MapMode::Isotropic) {
            const double s = std::min(std::abs(sx), std::abs(sy));
            sx = std::copysign(s, sx);
            sy = std::copysign(s, sy);
        }
    } else if (const double mm = unitMillimetres(mode); mm > 0) {
        sx = mm * device_.pxPerMmX;
        sy = -mm * device_.pxPerMmY;
    }
    page.m11 = sx;
    page.m22 = sy;
    page.dx = dc_.viewportOrg.x - dc_.windowOrg.x * sx;
    page.dy = dc_.viewportOrg.y - dc_.windowOrg.y * sy;
    matrix_ = dc_.world.then(page).then(device_.toPicture);
    degenerate_ = !matrix_.finite() || matrix_.determinant() == 0;
}

void Canvas::setMapMode(int mode) {
    if (mode < 1 || mode > 8) {
        return;
    }
    MapMode m = static_cast<MapMode>(mode);
    if (device_.wmf) {
        // A WMF is played into the picture's box: the window always maps
        // onto the viewport, keeping its aspect only when isotropic.
        m = m == MapMode::Isotropic ? MapMode::Isotropic : MapMode::Anisotropic;
    }
    dc_.mapMode = m;
    mappingChanged();
}

void Canvas::setWindowOrg(double x, double y) {
    dc_.windowOrg = {x, y};
    mappingChanged();
}

void Canvas::setWindowExt(double x, double y) {
    if (x == 0 || y == 0) {
        return;
    }
    dc_.windowExt = {x, y};
    mappingChanged();
}

void Canvas::setViewportOrg(double x, double y) {
    dc_.viewportOrg = {x, y};
    mappingChanged();
}

void Canvas::setViewportExt(double x, double y) {
    if (x == 0 || y == 0) {
        return;
    }
    dc_.viewportExt = {x, y};
    mappingChanged();
}

void Canvas::offsetWindowOrg(double x, double y) {
    setWindowOrg(dc_.windowOrg.x + x, dc_.windowOrg.y + y);
}

void Canvas::offsetViewportOrg(double x, double y) {
    setViewportOrg(dc_.viewportOrg.x + x, dc_.viewportOrg.y + y);
}

void Canvas::scaleWindowExt(double xNum, double xDenom, double yNum, double yDenom) {
    if (xDenom != 0 && yDenom != 0) {
        setWindowExt(dc_.windowExt.x * xNum / xDenom, dc_.windowExt.y * yNum / yDenom);
    }
}

void Canvas::scaleViewportExt(double xNum, double xDenom, double yNum, double yDenom) {
    if (xDenom != 0 && yDenom != 0) {
        setViewportExt(dc_.viewportExt.x * xNum / xDenom, dc_.viewportExt.y * yNum / yDenom);
    }
}

void Canvas::setWorldTransform(const Matrix& m) {
    if (!m.finite() || m.determinant() == 0) {
        return; // Windows refuses a transform that cannot be inverted
    }
    dc_.world = m;
    mappingChanged();
}

void Canvas::modifyWorldTransform(const Matrix& m, unsigned mode) {
    switch (mode) {
    case 1:
        dc_.world = Matrix{};
        mappingChanged();
        break;
    case 2:
        setWorldTransform(m.then(dc_.world));
        break;
    case 3:
        setWorldTransform(dc_.world.then(m));
        break;
    case 4:
        setWorldTransform(m);
        break;
    default:
        break;
    }
}

Point Canvas::map(DPoint p) const {
    const DPoint q = matrix_.map(p.x, p.y);
    return {clampCoordinate(q.x), clampCoordinate(q.y)};
}

Point Canvas::mapDevice(double x, double y) const {
    const DPoint q = device_.toPicture.map(x, y);
    return {clampCoordinate(q.x), clampCoordinate(q.y)};
}

// ---------------------------------------------------------------- state

void Canvas::save() {
    if (static_cast<int>(saved_.size()) >= limits_.saveDepth) {
        return; // deeper nesting is refused, as a device context would
    }
    saved_.push_back(dc_);
}

void Canvas::restore(int which) {
    const int depth = static_cast<int>(saved_.size());
    int target;
    if (which < 0) {
        if (-static_cast<long long>(which) > depth) {
            return;
        }
        target = depth + which;
    } else {
        if (which == 0 || which > depth) {
            return;
        }
        target = which - 1;
    }
    const bool keepPath = inPath_;
    dc_ = saved_[static_cast<std::size_t>(target)];
    saved_.resize(static_cast<std::size_t>(target));
    inPath_ = keepPath;
    mappingChanged();
}

Colour Canvas::colour(std::uint32_t colorRef) const {
    if ((colorRef >> 24) == 1) {
        const std::vector<Colour>* p = palette(dc_.palette);
        const std::size_t index = colorRef & 0xFFFFu;
        if (p && index < p->size()) {
            return (*p)[index];
        }
        return 0xFF000000u;
    }
    return 0xFF000000u | (colorRef & 0xFFu) << 16 | (colorRef & 0xFF00u) | (colorRef >> 16 & 0xFFu);
}

std::int32_t Canvas::addPalette(std::vector<Colour> entries) {
    palettes_.push_back(std::move(entries));
    return static_cast<std::int32_t>(palettes_.size() - 1);
}

void Canvas::setPaletteEntries(std::int32_t index, std::size_t start,
                               std::span<const Colour> entries) {
    if (index < 0 || static_cast<std::size_t>(index) >= palettes_.size()) {
        return;
    }
    std::vector<Colour>& p = palettes_[static_cast<std::size_t>(index)];
    for (std::size_t i = 0; i < entries.size() && start + i < p.size(); ++i) {
        p[start + i] = entries[i];
    }
}

const std::vector<Colour>* Canvas::palette(std::int32_t index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= palettes_.size()) {
        return nullptr;
    }
    return &palettes_[static_cast<std::size_t>(index)];
}

// ---------------------------------------------------------------- styles and output

Pen Canvas::currentPen() const {
    const LogPen& lp = dc_.pen;
    Pen pen;
    pen.style = lp.style;
    pen.colour = lp.colour;
    pen.cap = lp.cap;
    pen.join = lp.join;
    const double w = lp.cosmetic ? 0 : std::abs(lp.width) * matrix_.xScale();
    pen.width = w > 1 && std::isfinite(w) ? static_cast<float>(std::min(w, kFar)) : 0;
    // A pen of CreatePen is dashed only while it is thin.
    if (dashed(pen.style) && pen.width > 1 && !lp.geometric) {
        pen.style = PenStyle::Solid;
    }
    return pen;
}

Style Canvas::currentStyle() const {
    Style s;
    s.pen = currentPen();
    s.brush = dc_.brush;
    s.fillRule = dc_.polyFill;
    s.opaqueBackground = dc_.opaque;
    s.background = dc_.bkColour;
    return s;
}

std::uint32_t Canvas::styleIndex(const Style& style) {
    if (out_.styles.empty() || !(out_.styles.back() == style)) {
        // Styles change far less often than shapes come; only a change from
        // the last one is stored.
        out_.styles.push_back(style);
    }
    return static_cast<std::uint32_t>(out_.styles.size() - 1);
}

std::uint32_t Canvas::fontIndex(const Font& font) {
    if (out_.fonts.empty() || !(out_.fonts.back() == font)) {
        out_.fonts.push_back(font);
    }
    return static_cast<std::uint32_t>(out_.fonts.size() - 1);
}

bool Canvas::drawable() const {
    return !full_ && !degenerate_ && dc_.rop2 != 11; // R2_NOP draws nothing
}

bool Canvas::appendPath(const std::vector<Verb>& verbs, const std::vector<Point>& points,
                        PathSpan& span) {
    if (out_.points.size() + points.size() > limits_.points) {
        cut();
        return false;
    }
    span.firstVerb = static_cast<std::uint32_t>(out_.verbs.size());
    span.verbCount = static_cast<std::uint32_t>(verbs.size());
    span.firstPoint = static_cast<std::uint32_t>(out_.points.size());
    span.pointCount = static_cast<std::uint32_t>(points.size());
    out_.verbs.insert(out_.verbs.end(), verbs.begin(), verbs.end());
    out_.points.insert(out_.points.end(), points.begin(), points.end());
    return true;
}

void Canvas::pushItem(ItemKind kind, std::uint32_t index, std::int32_t clip, Box bounds) {
    out_.items.push_back({kind, index, clip, bounds});
}

void Canvas::emitShape(const std::vector<Verb>& verbs, const std::vector<Point>& points, bool fill,
                       bool stroke, const Style& style, RasterOp op) {
    fill = fill && style.brush.style != BrushStyle::None;
    stroke = stroke && style.pen.style != PenStyle::None;
    if ((!fill && !stroke) || points.empty()) {
        return;
    }
    if (out_.items.size() >= limits_.items) {
        cut();
        return;
    }
    Shape shape;
    if (!appendPath(verbs, points, shape.path)) {
        return;
    }
    shape.style = styleIndex(style);
    shape.fill = fill;
    shape.stroke = stroke;
    shape.op = op;
    const float margin = stroke ? style.pen.width + 2 : 1;
    out_.shapes.push_back(shape);
    pushItem(ItemKind::Shape, static_cast<std::uint32_t>(out_.shapes.size() - 1), dc_.clip,
             boundsOf(points, margin));
}

// ---------------------------------------------------------------- figures

void Canvas::clearFigure() {
    figVerbs_.clear();
    figPoints_.clear();
}

void Canvas::figMove(DPoint p) {
    figVerbs_.push_back(Verb::Move);
    figPoints_.push_back(map(p));
}

void Canvas::figLine(DPoint p) {
    figVerbs_.push_back(Verb::Line);
    figPoints_.push_back(map(p));
}

void Canvas::figCubic(DPoint c1, DPoint c2, DPoint e) {
    figVerbs_.push_back(Verb::Cubic);
    figPoints_.push_back(map(c1));
    figPoints_.push_back(map(c2));
    figPoints_.push_back(map(e));
}

void Canvas::figClose() {
    figVerbs_.push_back(Verb::Close);
}

void Canvas::figArc(double cx, double cy, double rx, double ry, double t0, double sweep) {
    arcScratch_.clear();
    appendArcSegments(arcScratch_, cx, cy, rx, ry, t0, sweep);
    for (const ArcSegment& s : arcScratch_) {
        figCubic(s.c1, s.c2, s.end);
    }
}

void Canvas::figRect(double l, double t, double r, double b) {
    figMove({l, t});
    figLine({r, t});
    figLine({r, b});
    figLine({l, b});
    figClose();
}

void Canvas::drawFigure(bool fill, bool stroke) {
    if (figPoints_.empty()) {
        return;
    }
    if (inPath_) {
        if (pathPoints_.size() + figPoints_.size() > limits_.points) {
            cut();
            return;
        }
        // A figure that goes on from the current position continues an open
        // figure of the path instead of starting a new one.
        std::size_t skipVerbs = 0;
        std::size_t skipPoints = 0;
        if (pathFigureOpen_ && figVerbs_.front() == Verb::Move && figVerbs_.size() > 1 &&
            !pathPoints_.empty() && pathPoints_.back() == figPoints_.front()) {
            skipVerbs = 1;
            skipPoints = 1;
        }
        pathVerbs_.insert(pathVerbs_.end(), figVerbs_.begin() + skipVerbs, figVerbs_.end());
        pathPoints_.insert(pathPoints_.end(), figPoints_.begin() + skipPoints, figPoints_.end());
        pathFigureOpen_ = pathVerbs_.back() != Verb::Close;
        return;
    }
    if (!drawable()) {
        return;
    }
    RasterOp op = RasterOp::Copy;
    if (dc_.rop2 == 6) { // R2_NOT
        op = RasterOp::InvertDest;
    } else if (dc_.rop2 == 7) { // R2_XORPEN
        op = RasterOp::Xor;
    }
    emitShape(figVerbs_, figPoints_, fill, stroke, currentStyle(), op);
}

// ---------------------------------------------------------------- drawing

void Canvas::moveTo(DPoint p) {
    dc_.position = p;
    pathFigureOpen_ = false;
}

void Canvas::lineTo(DPoint p) {
    clearFigure();
    figMove(dc_.position);
    figLine(p);
    dc_.position = p;
    drawFigure(false, true);
}

void Canvas::polyline(std::span<const DPoint> points) {
    if (points.size() < 2) {
        return;
    }
    clearFigure();
    figMove(points[0]);
    for (std::size_t i = 1; i < points.size(); ++i) {
        figLine(points[i]);
    }
    drawFigure(false, true);
}

void Canvas::polylineTo(std::span<const DPoint> points) {
    if (points.empty()) {
        return;
    }
    clearFigure();
    figMove(dc_.position);
    for (const DPoint& p : points) {
        figLine(p);
    }
    dc_.position = points.back();
    drawFigure(false, true);
}

void Canvas::polygon(std::span<const DPoint> points) {
    if (points.size() < 2) {
        return;
    }
    clearFigure();
    figMove(points[0]);
    for (std::size_t i = 1; i < points.size(); ++i) {
        figLine(points[i]);
    }
    figClose();
    drawFigure(true, true);
}

void Canvas::polyPolygon(std::span<const DPoint> points, std::span<const std::uint32_t> counts,
                         bool closed) {
    clearFigure();
    std::size_t at = 0;
    for (const std::uint32_t count : counts) {
        const std::size_t n = std::min<std::size_t>(count, points.size() - at);
        if (n >= 2) {
            figMove(points[at]);
            for (std::size_t i = 1; i < n; ++i) {
                figLine(points[at + i]);
            }
            if (closed) {
                figClose();
            }
        }
        at += n;
        if (at >= points.size()) {
            break;
        }
    }
    drawFigure(closed, true);
}

void Canvas::polyBezier(std::span<const DPoint> points) {
    if (points.size() < 4) {
        return;
    }
    clearFigure();
    figMove(points[0]);
    for (std::size_t i = 1; i + 2 < points.size(); i += 3) {
        figCubic(points[i], points[i + 1], points[i + 2]);
    }
    drawFigure(false, true);
}

void Canvas::polyBezierTo(std::span<const DPoint> points) {
    if (points.size() < 3) {
        return;
    }
    clearFigure();
    figMove(dc_.position);
    std::size_t i = 0;
    for (; i + 2 < points.size(); i += 3) {
        figCubic(points[i], points[i + 1], points[i + 2]);
    }
    dc_.position = points[i - 1];
    drawFigure(false, true);
}

void Canvas::polyDraw(std::span<const DPoint> points, std::span<const std::uint8_t> types) {
    const std::size_t n = std::min(points.size(), types.size());
    clearFigure();
    figMove(dc_.position);
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned type = types[i] & ~1u;
        if (type == 6) {
            figMove(points[i]);
        } else if (type == 2) {
            figLine(points[i]);
        } else if (type == 4 && i + 2 < n) {
            figCubic(points[i], points[i + 1], points[i + 2]);
            i += 2;
        } else {
            break; // Windows refuses the whole record; draw what was valid
        }
        dc_.position = points[i];
        if (types[i] & 1) {
            figClose();
        }
    }
    drawFigure(false, true);
}

void Canvas::rectangle(double l, double t, double r, double b) {
    clearFigure();
    figRect(l, t, r, b);
    drawFigure(true, true);
}

void Canvas::roundRect(double l, double t, double r, double b, double cornerW, double cornerH) {
    if (l > r) {
        std::swap(l, r);
    }
    if (t > b) {
        std::swap(t, b);
    }
    const double rx = std::min(std::abs(cornerW) / 2, (r - l) / 2);
    const double ry = std::min(std::abs(cornerH) / 2, (b - t) / 2);
    if (rx <= 0 || ry <= 0) {
        rectangle(l, t, r, b);
        return;
    }
    const double half = std::numbers::pi / 2;
    clearFigure();
    figMove({l + rx, t});
    figLine({r - rx, t});
    figArc(r - rx, t + ry, rx, ry, -half, half);
    figLine({r, b - ry});
    figArc(r - rx, b - ry, rx, ry, 0, half);
    figLine({l + rx, b});
    figArc(l + rx, b - ry, rx, ry, half, half);
    figLine({l, t + ry});
    figArc(l + rx, t + ry, rx, ry, std::numbers::pi, half);
    figClose();
    drawFigure(true, true);
}

void Canvas::ellipse(double l, double t, double r, double b) {
    const double cx = (l + r) / 2;
    const double cy = (t + b) / 2;
    const double rx = std::abs(r - l) / 2;
    const double ry = std::abs(b - t) / 2;
    clearFigure();
    figMove({cx + rx, cy});
    figArc(cx, cy, rx, ry, 0, 2 * std::numbers::pi);
    figClose();
    drawFigure(true, true);
}

void Canvas::arc(ArcKind kind, double l, double t, double r, double b, DPoint start, DPoint end) {
    const double cx = (l + r) / 2;
    const double cy = (t + b) / 2;
    const double rx = std::abs(r - l) / 2;
    const double ry = std::abs(b - t) / 2;
    const double t0 = radialParameter(cx, cy, rx, ry, start.x, start.y);
    const double t1 = radialParameter(cx, cy, rx, ry, end.x, end.y);
    // Windows draws anticlockwise as seen on the device unless told
    // otherwise. With y down on the device that is the direction of falling
    // angles, unless the mapping mirrors the picture.
    bool decreasing = matrix_.determinant() > 0;
    if (dc_.clockwise) {
        decreasing = !decreasing;
    }
    double sweep = t1 - t0;
    const double full = 2 * std::numbers::pi;
    if (decreasing) {
        while (sweep >= 0) {
            sweep -= full;
        }
        while (sweep < -full) {
            sweep += full;
        }
    } else {
        while (sweep <= 0) {
            sweep += full;
        }
        while (sweep > full) {
            sweep -= full;
        }
    }
    const DPoint from = ellipsePoint(cx, cy, rx, ry, t0);
    clearFigure();
    switch (kind) {
    case ArcKind::Arc:
        figMove(from);
        figArc(cx, cy, rx, ry, t0, sweep);
        drawFigure(false, true);
        break;
    case ArcKind::ArcTo:
        figMove(dc_.position);
        figLine(from);
        figArc(cx, cy, rx, ry, t0, sweep);
        dc_.position = ellipsePoint(cx, cy, rx, ry, t0 + sweep);
        drawFigure(false, true);
        break;
    case ArcKind::Chord:
        figMove(from);
        figArc(cx, cy, rx, ry, t0, sweep);
        figClose();
        drawFigure(true, true);
        break;
    case ArcKind::Pie:
        figMove({cx, cy});
        figLine(from);
        figArc(cx, cy, rx, ry, t0, sweep);
        figClose();
        drawFigure(true, true);
        break;
    }
}

void Canvas::angleArc(DPoint centre, double radius, double startDeg, double sweepDeg) {
    if (!std::isfinite(startDeg) || !std::isfinite(sweepDeg)) {
        return;
    }
    // Angles run anticlockwise with y pointing down: a mirrored ellipse.
    const double t0 = radians(std::fmod(startDeg, 360));
    const double sweep = radians(std::clamp(sweepDeg, -360.0, 360.0));
    const double r = radius;
    clearFigure();
    figMove(dc_.position);
    figLine(ellipsePoint(centre.x, centre.y, r, -r, t0));
    figArc(centre.x, centre.y, r, -r, t0, sweep);
    dc_.position = ellipsePoint(centre.x, centre.y, r, -r, t0 + sweep);
    drawFigure(false, true);
}

void Canvas::setPixel(DPoint p, Colour c) {
    if (!drawable() || inPath_) {
        return;
    }
    const Point q = map(p);
    clearFigure();
    figVerbs_ = {Verb::Move, Verb::Line, Verb::Line, Verb::Line, Verb::Close};
    figPoints_ = {q, {q.x + 1, q.y}, {q.x + 1, q.y + 1}, {q.x, q.y + 1}};
    Style s = currentStyle();
    s.brush = Brush{BrushStyle::Solid, c};
    emitShape(figVerbs_, figPoints_, true, false, s, RasterOp::Copy);
}

void Canvas::fillRects(std::span<const Box> rects, const Brush& brush) {
    if (!drawable() || inPath_ || rects.empty()) {
        return;
    }
    clearFigure();
    for (const Box& r : rects) {
        figRect(r.left, r.top, r.right, r.bottom);
    }
    Style s = currentStyle();
    s.brush = brush;
    s.fillRule = FillRule::Winding;
    emitShape(figVerbs_, figPoints_, true, false, s, RasterOp::Copy);
}

void Canvas::frameRects(std::span<const Box> rects, const Brush& brush, double width,
                        double height) {
    if (!drawable() || inPath_ || rects.empty()) {
        return;
    }
    // The outline of each rectangle, as wide as the frame asks.
    clearFigure();
    for (const Box& r : rects) {
        figRect(r.left, r.top, r.right, r.bottom);
    }
    Style s = currentStyle();
    s.brush = Brush{BrushStyle::None};
    s.pen = Pen{PenStyle::Solid, brush.colour};
    const double w =
        std::max(std::abs(width) * matrix_.xScale(), std::abs(height) * matrix_.yScale());
    s.pen.width = w > 1 && std::isfinite(w) ? static_cast<float>(std::min(w, kFar)) : 0;
    s.pen.join = LineJoin::Miter;
    emitShape(figVerbs_, figPoints_, false, true, s, RasterOp::Copy);
}

void Canvas::invertRects(std::span<const Box> rects) {
    if (!drawable() || inPath_ || rects.empty()) {
        return;
    }
    clearFigure();
    for (const Box& r : rects) {
        figRect(r.left, r.top, r.right, r.bottom);
    }
    Style s = currentStyle();
    s.brush = Brush{BrushStyle::Solid, 0xFFFFFFFFu};
    emitShape(figVerbs_, figPoints_, true, false, s, RasterOp::InvertDest);
}

// ---------------------------------------------------------------- paths

void Canvas::beginPath() {
    inPath_ = true;
    pathFigureOpen_ = false;
    pathVerbs_.clear();
    pathPoints_.clear();
}

void Canvas::endPath() {
    inPath_ = false;
}

void Canvas::abortPath() {
    inPath_ = false;
    pathVerbs_.clear();
    pathPoints_.clear();
}

void Canvas::closeFigure() {
    if (inPath_ && pathFigureOpen_) {
        pathVerbs_.push_back(Verb::Close);
        pathFigureOpen_ = false;
    }
}

void Canvas::drawPath(bool fill, bool stroke) {
    if (inPath_) {
        return;
    }
    if (drawable()) {
        emitShape(pathVerbs_, pathPoints_, fill, stroke, currentStyle(), RasterOp::Copy);
    }
    abortPath();
}

void Canvas::selectClipPath(ClipOp op) {
    if (inPath_) {
        return;
    }
    pushClip(op, pathVerbs_, pathPoints_, dc_.polyFill);
    abortPath();
}

// ---------------------------------------------------------------- clipping

void Canvas::pushClip(ClipOp op, const std::vector<Verb>& verbs, const std::vector<Point>& points,
                      FillRule rule) {
    if (full_) {
        return;
    }
    if (out_.clips.size() >= limits_.items) {
        cut();
        return;
    }
    ClipStep step;
    step.parent = op == ClipOp::Replace ? -1 : dc_.clip;
    step.op = op;
    step.fillRule = rule;
    if (!appendPath(verbs, points, step.path)) {
        return;
    }
    out_.clips.push_back(step);
    dc_.clip = static_cast<std::int32_t>(out_.clips.size() - 1);
}

void Canvas::intersectClipRect(double l, double t, double r, double b) {
    if (degenerate_) {
        return;
    }
    clearFigure();
    figRect(l, t, r, b);
    pushClip(ClipOp::Intersect, figVerbs_, figPoints_, FillRule::Winding);
}

void Canvas::excludeClipRect(double l, double t, double r, double b) {
    if (degenerate_) {
        return;
    }
    clearFigure();
    figRect(l, t, r, b);
    pushClip(ClipOp::Subtract, figVerbs_, figPoints_, FillRule::Winding);
}

void Canvas::selectClipRects(std::span<const Box> rects, ClipOp op, bool deviceUnits) {
    if (rects.empty()) {
        if (op == ClipOp::Replace) {
            dc_.clip = -1;
        } else if (op == ClipOp::Intersect) {
            // Nothing intersected with anything is nothing.
            clearFigure();
            pushClip(ClipOp::Replace, figVerbs_, figPoints_, FillRule::Winding);
        }
        return;
    }
    clearFigure();
    for (const Box& r : rects) {
        if (deviceUnits) {
            figVerbs_.insert(figVerbs_.end(),
                             {Verb::Move, Verb::Line, Verb::Line, Verb::Line, Verb::Close});
            figPoints_.push_back(mapDevice(r.left, r.top));
            figPoints_.push_back(mapDevice(r.right, r.top));
            figPoints_.push_back(mapDevice(r.right, r.bottom));
            figPoints_.push_back(mapDevice(r.left, r.bottom));
        } else {
            figRect(r.left, r.top, r.right, r.bottom);
        }
    }
    pushClip(op, figVerbs_, figPoints_, FillRule::Winding);
}

void Canvas::offsetClip(double dx, double dy) {
    if (dc_.clip < 0 || full_ || out_.clips.size() >= limits_.items) {
        return;
    }
    const DPoint v = matrix_.mapVector(dx, dy);
    ClipStep step;
    step.parent = dc_.clip;
    step.op = ClipOp::Offset;
    step.offset = {clampCoordinate(v.x), clampCoordinate(v.y)};
    out_.clips.push_back(step);
    dc_.clip = static_cast<std::int32_t>(out_.clips.size() - 1);
}

// ---------------------------------------------------------------- text

void Canvas::text(DPoint reference, std::string utf8, std::span<const double> advances,
                  unsigned options, const Box* rect) {
    if (!drawable() || inPath_) {
        return; // glyph outlines are not added to paths
    }
    const bool updateCp = (dc_.textAlign & kTaUpdateCp) != 0;
    if (updateCp) {
        reference = dc_.position;
    }
    double total = 0;
    for (const double a : advances) {
        total += a;
    }
    if (updateCp && std::isfinite(total)) {
        dc_.position.x += total;
    }
    if (rect && (options & kEtoOpaque)) {
        clearFigure();
        figRect(rect->left, rect->top, rect->right, rect->bottom);
        Style s = currentStyle();
        s.brush = Brush{BrushStyle::Solid, dc_.bkColour};
        emitShape(figVerbs_, figPoints_, true, false, s, RasterOp::Copy);
    }
    if (utf8.empty() || full_) {
        return;
    }
    const std::size_t cost = utf8.size() + advances.size() * sizeof(float);
    if (textBytes_ + cost > limits_.textBytes || out_.items.size() >= limits_.items) {
        cut();
        return;
    }
    textBytes_ += cost;

    const LogFont& lf = dc_.font;
    const double along = matrix_.xScale();
    const double across = matrix_.yScale();
    Font font;
    font.family = lf.face;
    if (lf.height == 0) {
        font.height = static_cast<float>(16 * device_.toPicture.yScale());
        font.cellHeight = true;
    } else {
        font.height = static_cast<float>(std::min(std::abs(double(lf.height)) * across, kFar));
        font.cellHeight = lf.height > 0;
    }
    font.width = static_cast<float>(std::min(std::abs(double(lf.width)) * along, kFar));
    font.weight = lf.weight <= 0 ? 400 : std::clamp(lf.weight, 100, 900);
    font.italic = lf.italic;
    font.underline = lf.underline;
    font.strikeout = lf.strikeout;
    font.pitchAndFamily = lf.pitchAndFamily;

    Text t;
    t.text = std::move(utf8);
    t.advances.reserve(advances.size());
    for (const double a : advances) {
        t.advances.push_back(
            static_cast<float>(std::isfinite(a) ? std::clamp(a * along, -kFar, kFar) : 0));
    }
    t.origin = map(reference);
    // The baseline follows the world transform's rotation; the escapement
    // turns it further, anticlockwise as seen on the picture. Glyphs are never
    // mirrored, so a flipping mapping mode leaves the baseline alone.
    double base = 0;
    if (!matrix_.axisAligned()) {
        base = degrees(std::atan2(matrix_.m12, matrix_.m11));
    }
    t.angle = static_cast<float>(std::fmod(base - lf.escapement / 10.0, 360.0));
    t.font = fontIndex(font);
    t.colour = dc_.textColour;
    t.opaqueBackground = dc_.opaque;
    t.background = dc_.bkColour;
    const unsigned align = dc_.textAlign;
    t.hAlign = (align & kTaCenter) == kTaCenter ? HAlign::Centre
               : (align & kTaRight)             ? HAlign::Right
                                                : HAlign::Left;
    t.vAlign = (align & kTaBaseline) == kTaBaseline ? VAlign::Baseline
               : (align & kTaBottom)                ? VAlign::Bottom
                                                    : VAlign::Top;

    std::int32_t clip = dc_.clip;
    if (rect && (options & kEtoClipped)) {
        const std::int32_t saved = dc_.clip;
        intersectClipRect(rect->left, rect->top, rect->right, rect->bottom);
        clip = dc_.clip;
        dc_.clip = saved;
    }
    // Bounds: the run's length (or a generous guess) either side of the
    // reference point, two font heights up and down, turned with the baseline.
    const double em = std::max<double>(font.height, 1);
    double length = 0;
    for (const float a : t.advances) {
        length += std::abs(a);
    }
    if (t.advances.empty()) {
        length = em * static_cast<double>(t.text.size());
    }
    const double reach = std::min(std::hypot(length + em, 2 * em), kFar);
    const Box bounds{static_cast<float>(t.origin.x - reach), static_cast<float>(t.origin.y - reach),
                     static_cast<float>(t.origin.x + reach),
                     static_cast<float>(t.origin.y + reach)};
    out_.texts.push_back(std::move(t));
    pushItem(ItemKind::Text, static_cast<std::uint32_t>(out_.texts.size() - 1), clip, bounds);
}

// ---------------------------------------------------------------- bitmaps

bool Canvas::reservePixels(long long pixels) {
    if (pixels < 0 || pixels > static_cast<long long>(limits_.bitmapPixels) - pixels_) {
        cut();
        return false;
    }
    pixels_ += pixels;
    return true;
}

std::int32_t Canvas::addImage(RgbaImage image) {
    out_.images.push_back(std::move(image));
    return static_cast<std::int32_t>(out_.images.size() - 1);
}

void Canvas::bitmap(double x, double y, double w, double h, std::int32_t image, int srcX, int srcY,
                    int srcW, int srcH, RasterOp op, std::uint8_t alpha) {
    if (!drawable() || inPath_ || image < 0 ||
        static_cast<std::size_t>(image) >= out_.images.size()) {
        return;
    }
    if (out_.items.size() >= limits_.items) {
        cut();
        return;
    }
    const RgbaImage& img = out_.images[static_cast<std::size_t>(image)];
    // A source rectangle given upside down or mirrored turns the picture.
    if (srcW < 0) {
        srcX += srcW;
        srcW = -srcW;
        x += w;
        w = -w;
    }
    if (srcH < 0) {
        srcY += srcH;
        srcH = -srcH;
        y += h;
        h = -h;
    }
    const long long x0 = std::max<long long>(srcX, 0);
    const long long y0 = std::max<long long>(srcY, 0);
    const long long x1 = std::min<long long>(static_cast<long long>(srcX) + srcW, img.width);
    const long long y1 = std::min<long long>(static_cast<long long>(srcY) + srcH, img.height);
    if (x1 <= x0 || y1 <= y0 || srcW == 0 || srcH == 0 || w == 0 || h == 0) {
        return;
    }
    // Only the part of the source inside the image is drawn, into the
    // matching part of the destination.
    const double fx = w / srcW;
    const double fy = h / srcH;
    const double dx0 = x + (static_cast<double>(x0) - srcX) * fx;
    const double dy0 = y + (static_cast<double>(y0) - srcY) * fy;
    const double dw = static_cast<double>(x1 - x0) * fx;
    const double dh = static_cast<double>(y1 - y0) * fy;

    Bitmap b;
    b.image = static_cast<std::uint32_t>(image);
    b.origin = map({dx0, dy0});
    const Point right = map({dx0 + dw, dy0});
    const Point down = map({dx0, dy0 + dh});
    b.xAxis = {right.x - b.origin.x, right.y - b.origin.y};
    b.yAxis = {down.x - b.origin.x, down.y - b.origin.y};
    b.srcX = static_cast<int>(x0);
    b.srcY = static_cast<int>(y0);
    b.srcWidth = static_cast<int>(x1 - x0);
    b.srcHeight = static_cast<int>(y1 - y0);
    b.op = op;
    b.constantAlpha = alpha;
    b.smooth = dc_.smoothStretch;
    const Point corners[4] = {b.origin, right, down, {right.x + b.yAxis.x, right.y + b.yAxis.y}};
    out_.bitmaps.push_back(b);
    pushItem(ItemKind::Bitmap, static_cast<std::uint32_t>(out_.bitmaps.size() - 1), dc_.clip,
             boundsOf(corners, 1));
}

void Canvas::patBlt(double x, double y, double w, double h, std::uint32_t rop) {
    if (!drawable() || inPath_) {
        return;
    }
    const unsigned code = rop >> 16 & 0xFFu;
    Style s = currentStyle();
    RasterOp op = RasterOp::Copy;
    switch (code) {
    case 0x00: // BLACKNESS
        s.brush = Brush{BrushStyle::Solid, 0xFF000000u};
        break;
    case 0xFF: // WHITENESS
        s.brush = Brush{BrushStyle::Solid, 0xFFFFFFFFu};
        break;
    case 0x55: // DSTINVERT
        s.brush = Brush{BrushStyle::Solid, 0xFFFFFFFFu};
        op = RasterOp::InvertDest;
        break;
    case 0x5A: // PATINVERT
        op = RasterOp::Xor;
        break;
    case 0xAA: // the destination as it is
        return;
    default: // PATCOPY and the rest: the brush
        break;
    }
    clearFigure();
    figRect(x, y, x + w, y + h);
    emitShape(figVerbs_, figPoints_, true, false, s, op);
}

} // namespace harpoly::metafile
