#pragma once

// The device context that the metafile players drive: the state of the
// graphics device interface (objects in use, colours, modes, mapping,
// clipping, the current position and path) and the writer of the drawing
// list. The players decode records; everything they draw goes through here,
// in logical coordinates, and comes out in picture pixels.

#include "core/imaging/metafile_drawing.h"
#include "core/imaging/metafile_geometry.h"
#include "core/imaging/metafile_reader.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace harpoly::metafile {

enum class MapMode {
    Text = 1,
    LoMetric = 2,
    HiMetric = 3,
    LoEnglish = 4,
    HiEnglish = 5,
    Twips = 6,
    Isotropic = 7,
    Anisotropic = 8,
};

struct LogPen {
    PenStyle style = PenStyle::Solid;
    Colour colour = 0xFF000000u;
    double width = 0;       // logical units; 0 is one device pixel
    bool cosmetic = false;  // always one device pixel
    bool geometric = false; // dashes kept at any width
    LineCap cap = LineCap::Round;
    LineJoin join = LineJoin::Round;
};

struct LogFont {
    std::int32_t height = 0; // < 0: em height, > 0: cell height, 0: default
    std::int32_t width = 0;
    std::int32_t escapement = 0; // tenths of a degree, anticlockwise
    std::int32_t weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
    std::uint8_t charset = 1; // DEFAULT_CHARSET
    std::uint8_t pitchAndFamily = 0;
    std::string face; // UTF-8
};

struct Region {
    std::vector<Box> rects;
};

// A slot of the object table.
using GdiObject =
    std::variant<std::monostate, LogPen, Brush, LogFont, Region, std::int32_t /*palette*/>;

// Text alignment flags of SetTextAlign.
inline constexpr unsigned kTaUpdateCp = 1;
inline constexpr unsigned kTaRight = 2;
inline constexpr unsigned kTaCenter = 6;
inline constexpr unsigned kTaBottom = 8;
inline constexpr unsigned kTaBaseline = 24;

// ExtTextOut options.
inline constexpr unsigned kEtoOpaque = 2;
inline constexpr unsigned kEtoClipped = 4;

struct DcState {
    LogPen pen;
    Brush brush;
    LogFont font;
    std::int32_t palette = -1; // Canvas palette index; -1 the default palette
    Colour textColour = 0xFF000000u;
    Colour bkColour = 0xFFFFFFFFu;
    bool opaque = true;
    FillRule polyFill = FillRule::Alternate;
    unsigned textAlign = 0;
    bool clockwise = false;
    bool smoothStretch = false;
    int rop2 = 13; // R2_COPYPEN
    MapMode mapMode = MapMode::Text;
    DPoint windowOrg{0, 0};
    DPoint windowExt{1, 1};
    DPoint viewportOrg{0, 0};
    DPoint viewportExt{1, 1};
    Matrix world;
    std::int32_t clip = -1;
    DPoint position;
};

// How the reference device relates to the picture.
struct Device {
    Matrix toPicture;            // device pixels to picture pixels
    double pxPerMmX = 96 / 25.4; // resolution of the fixed mapping modes
    double pxPerMmY = 96 / 25.4;
    // WMF: the mapping mode records pick isotropic or not; the window always
    // maps onto the viewport, which starts as the whole picture.
    bool wmf = false;
};

enum class ArcKind { Arc, Chord, Pie, ArcTo };

class Canvas {
public:
    Canvas(Drawing& out, const MetafileLimits& limits, const Device& device);

    DcState& dc() { return dc_; }
    const DcState& dc() const { return dc_; }
    // Reached a limit: the players stop, and the picture is marked cut.
    bool full() const { return full_; }

    // Mapping (logical units, as the records give them).
    void setMapMode(int mode);
    void setWindowOrg(double x, double y);
    void setWindowExt(double x, double y);
    void setViewportOrg(double x, double y);
    void setViewportExt(double x, double y);
    void offsetWindowOrg(double x, double y);
    void offsetViewportOrg(double x, double y);
    void scaleWindowExt(double xNum, double xDenom, double yNum, double yDenom);
    void scaleViewportExt(double xNum, double xDenom, double yNum, double yDenom);
    void setWorldTransform(const Matrix& m);
    // MWT_IDENTITY 1, MWT_LEFTMULTIPLY 2, MWT_RIGHTMULTIPLY 3, MWT_SET 4.
    void modifyWorldTransform(const Matrix& m, unsigned mode);
    // Logical to picture pixels now.
    const Matrix& toPicture() const { return matrix_; }

    void save();
    // Negative: that many steps back; positive: the state saved at that depth.
    void restore(int which);

    // A COLORREF of the file: 0x00BBGGRR, or a palette index (0x01......).
    Colour colour(std::uint32_t colorRef) const;
    std::int32_t addPalette(std::vector<Colour> entries);
    void setPaletteEntries(std::int32_t palette, std::size_t start,
                           std::span<const Colour> entries);
    const std::vector<Colour>* palette(std::int32_t index) const;

    // Drawing: logical coordinates.
    void moveTo(DPoint p);
    void lineTo(DPoint p);
    void polyline(std::span<const DPoint> points);
    void polylineTo(std::span<const DPoint> points);
    void polygon(std::span<const DPoint> points);
    // `counts` splits `points` into figures; counts that overrun the points
    // end the figures there.
    void polyPolygon(std::span<const DPoint> points, std::span<const std::uint32_t> counts,
                     bool closed);
    void polyBezier(std::span<const DPoint> points);
    void polyBezierTo(std::span<const DPoint> points);
    // PT_MOVETO 6, PT_LINETO 2, PT_BEZIERTO 4, each optionally | PT_CLOSEFIGURE 1.
    void polyDraw(std::span<const DPoint> points, std::span<const std::uint8_t> types);
    void rectangle(double l, double t, double r, double b);
    void roundRect(double l, double t, double r, double b, double cornerW, double cornerH);
    void ellipse(double l, double t, double r, double b);
    void arc(ArcKind kind, double l, double t, double r, double b, DPoint start, DPoint end);
    // Degrees, anticlockwise as Windows measures them.
    void angleArc(DPoint centre, double radius, double startDeg, double sweepDeg);
    void setPixel(DPoint p, Colour c);
    // The rectangles of a region (logical units): filled, framed, inverted.
    void fillRects(std::span<const Box> rects, const Brush& brush);
    void frameRects(std::span<const Box> rects, const Brush& brush, double width, double height);
    void invertRects(std::span<const Box> rects);

    // Paths.
    void beginPath();
    void endPath();
    void abortPath();
    void closeFigure();
    // Fills and/or strokes the path made since beginPath, then drops it.
    void drawPath(bool fill, bool stroke);
    void selectClipPath(ClipOp op);

    // Clipping.
    void intersectClipRect(double l, double t, double r, double b);
    void excludeClipRect(double l, double t, double r, double b);
    // Combines a region with the clip. Replace with no rectangles removes the
    // clip. Rectangles in logical units, or device pixels when `deviceUnits`.
    void selectClipRects(std::span<const Box> rects, ClipOp op, bool deviceUnits);
    void offsetClip(double dx, double dy);

    // Text: `advances` per code point of `utf8` in logical units, or empty.
    void text(DPoint reference, std::string utf8, std::span<const double> advances,
              unsigned options, const Box* rect);

    // Bitmaps. Reserve the pixels before decoding; false means the budget is
    // spent (and the picture is then cut).
    bool reservePixels(long long pixels);
    std::int32_t addImage(RgbaImage image);
    void bitmap(double x, double y, double w, double h, std::int32_t image, int srcX, int srcY,
                int srcW, int srcH, RasterOp op, std::uint8_t alpha = 255);
    // A rectangle filled by a raster operation without a source: PATCOPY,
    // PATINVERT, BLACKNESS, WHITENESS, DSTINVERT (ternary code's high byte).
    void patBlt(double x, double y, double w, double h, std::uint32_t rop);

private:
    void mappingChanged();
    Point map(DPoint p) const;
    Point mapDevice(double x, double y) const;

    // The figure being built, in picture pixels.
    void figMove(DPoint p);
    void figLine(DPoint p);
    void figCubic(DPoint c1, DPoint c2, DPoint e);
    void figClose();
    void figArc(double cx, double cy, double rx, double ry, double t0, double sweep);
    void figRect(double l, double t, double r, double b);
    void figRectPicture(const Box& box, const Matrix& m);
    void clearFigure();
    // Draws the figure (or, inside a path bracket, adds it to the path).
    void drawFigure(bool fill, bool stroke);
    void emitShape(const std::vector<Verb>& verbs, const std::vector<Point>& points, bool fill,
                   bool stroke, const Style& style, RasterOp op);
    bool appendPath(const std::vector<Verb>& verbs, const std::vector<Point>& points,
                    PathSpan& span);
    void pushItem(ItemKind kind, std::uint32_t index, std::int32_t clip, Box bounds);
    void pushClip(ClipOp op, const std::vector<Verb>& verbs, const std::vector<Point>& points,
                  FillRule rule);
    std::uint32_t styleIndex(const Style& style);
    std::uint32_t fontIndex(const Font& font);
    Style currentStyle() const;
    Pen currentPen() const;
    bool drawable() const;
    void cut() { full_ = true; }

    Drawing& out_;
    MetafileLimits limits_;
    Device device_;
    DcState dc_;
    std::vector<DcState> saved_;
    Matrix matrix_;
    bool degenerate_ = false;
    bool full_ = false;
    std::size_t textBytes_ = 0;
    long long pixels_ = 0;
    std::vector<std::vector<Colour>> palettes_;

    std::vector<Verb> figVerbs_;
    std::vector<Point> figPoints_;
    std::vector<ArcSegment> arcScratch_;

    bool inPath_ = false;
    bool pathFigureOpen_ = false;
    std::vector<Verb> pathVerbs_;
    std::vector<Point> pathPoints_;
};

} // namespace harpoly::metafile
