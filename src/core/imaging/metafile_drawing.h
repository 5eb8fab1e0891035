#pragma once

// The drawing list of a Windows metafile: what the records draw, as plain
// values in the picture's own pixels (x to the right, y down, the picture
// covering 0..width x 0..height). Every mapping mode, world transform and
// window/viewport setting has already been applied, so a painter needs only
// the one scale from the picture's size to the size it draws at.

#include "core/imaging/image.h"

#include <cstdint>
#include <string>
#include <vector>

namespace harpoly::metafile {

// Colours are 0xAARRGGBB, as in RgbaImage.
using Colour = std::uint32_t;

struct Point {
    float x = 0;
    float y = 0;
    bool operator==(const Point&) const = default;
};

struct Box {
    float left = 0;
    float top = 0;
    float right = 0;
    float bottom = 0;
};

// One step of a path. Move and Line take one point, Cubic three (two control
// points and the end point), Close none.
enum class Verb : std::uint8_t { Move, Line, Cubic, Close };

// A run of verbs and their points inside Drawing::verbs and Drawing::points.
struct PathSpan {
    std::uint32_t firstVerb = 0;
    std::uint32_t verbCount = 0;
    std::uint32_t firstPoint = 0;
    std::uint32_t pointCount = 0;
};

enum class FillRule : std::uint8_t { Alternate, Winding };
enum class PenStyle : std::uint8_t { Solid, Dash, Dot, DashDot, DashDotDot, None };
enum class LineCap : std::uint8_t { Round, Square, Flat };
enum class LineJoin : std::uint8_t { Round, Bevel, Miter };

struct Pen {
    PenStyle style = PenStyle::Solid;
    Colour colour = 0xFF000000u;
    // In picture pixels; 0 is one pixel of whatever the picture is drawn on.
    float width = 0;
    LineCap cap = LineCap::Round;
    LineJoin join = LineJoin::Round;
    bool operator==(const Pen&) const = default;
};

enum class BrushStyle : std::uint8_t { None, Solid, Hatch, Pattern };
enum class Hatch : std::uint8_t {
    Horizontal,
    Vertical,
    ForwardDiagonal,
    BackwardDiagonal,
    Cross,
    DiagonalCross
};

struct Brush {
    BrushStyle style = BrushStyle::Solid;
    Colour colour = 0xFFFFFFFFu;
    Hatch hatch = Hatch::Horizontal;
    std::int32_t pattern = -1; // Drawing::images index of a pattern brush
    bool operator==(const Brush&) const = default;
};

// How source (or brush) pixels combine with what is already drawn: the
// Windows raster operations a metafile uses.
enum class RasterOp : std::uint8_t {
    Copy,            // source (or brush) replaces the destination
    Or,              // SRCPAINT
    And,             // SRCAND
    Xor,             // SRCINVERT, PATINVERT
    NotCopy,         // NOTSRCCOPY
    AndNotDest,      // SRCERASE: source and not destination
    NotOr,           // NOTSRCERASE: not (source or destination)
    NotSourceOrDest, // MERGEPAINT
    InvertDest,      // DSTINVERT (no source)
    Blend,           // alpha blending (per-pixel alpha and a constant alpha)
};

// What a filled or stroked shape is drawn with.
struct Style {
    Pen pen;
    Brush brush;
    FillRule fillRule = FillRule::Alternate;
    // The background fills the gaps of dashed pens and hatched brushes when
    // opaque.
    bool opaqueBackground = true;
    Colour background = 0xFFFFFFFFu;
    bool operator==(const Style&) const = default;
};

struct Shape {
    PathSpan path;
    std::uint32_t style = 0;      // Drawing::styles index
    bool fill = false;            // with the brush (open figures are closed for the fill)
    bool stroke = false;          // with the pen
    RasterOp op = RasterOp::Copy; // Copy, Xor or InvertDest
};

enum class HAlign : std::uint8_t { Left, Centre, Right };
enum class VAlign : std::uint8_t { Top, Baseline, Bottom };

struct Font {
    std::string family; // UTF-8; empty for the system's default face
    // Size in picture pixels: the em height, or the cell height (em plus
    // internal leading) when `cellHeight`. 0 asks for the default size.
    float height = 0;
    bool cellHeight = false;
    float width = 0;  // average character width in picture pixels; 0 natural
    int weight = 400; // 100..900
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
    std::uint8_t pitchAndFamily = 0; // as in the file (FF_ROMAN, FF_MODERN, ...)
    bool operator==(const Font&) const = default;
};

struct Text {
    std::string text; // UTF-8
    // Advance of each character (code point) of `text` along the baseline, in
    // picture pixels, when the file gives them; else empty.
    std::vector<float> advances;
    Point origin;           // the reference point, picture pixels
    float angle = 0;        // baseline direction, degrees clockwise from the x axis
    std::uint32_t font = 0; // Drawing::fonts index
    Colour colour = 0xFF000000u;
    bool opaqueBackground = false;
    Colour background = 0xFFFFFFFFu;
    HAlign hAlign = HAlign::Left;
    VAlign vAlign = VAlign::Top;
};

// A bitmap drawn into the parallelogram origin, origin + xAxis,
// origin + yAxis (picture pixels), from its source rectangle.
struct Bitmap {
    std::uint32_t image = 0; // Drawing::images index
    Point origin;
    Point xAxis;
    Point yAxis;
    int srcX = 0;
    int srcY = 0;
    int srcWidth = 0;
    int srcHeight = 0;
    RasterOp op = RasterOp::Copy;
    std::uint8_t constantAlpha = 255; // for Blend
    bool smooth = false;              // halftone stretching asked for
};

enum class ClipOp : std::uint8_t {
    Intersect,
    Unite,
    Xor,
    Subtract,
    Replace,
    Offset, // moves the whole clip region by `offset`
};

// One step of a clipping region: the region of `parent` (-1: the whole
// picture) combined with a path. Regions are kept as this chain so that
// saving and restoring the device context costs nothing.
struct ClipStep {
    std::int32_t parent = -1;
    ClipOp op = ClipOp::Intersect;
    PathSpan path;
    FillRule fillRule = FillRule::Alternate;
    Point offset;
};

enum class ItemKind : std::uint8_t { Shape, Text, Bitmap };

struct Item {
    ItemKind kind = ItemKind::Shape;
    std::uint32_t index = 0; // into shapes, texts or bitmaps
    std::int32_t clip = -1;  // Drawing::clips index; -1 draws unclipped
    Box bounds;              // where it may draw, picture pixels (pen included)
};

struct Drawing {
    std::vector<Item> items; // in drawing order
    std::vector<Shape> shapes;
    std::vector<Text> texts;
    std::vector<Bitmap> bitmaps;
    std::vector<Style> styles;
    std::vector<Font> fonts;
    std::vector<RgbaImage> images;
    std::vector<ClipStep> clips;
    std::vector<Verb> verbs;
    std::vector<Point> points;
};

} // namespace harpoly::metafile
