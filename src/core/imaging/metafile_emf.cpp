// The EMF record player: each record's fields read with bounds checks and
// handed to the canvas. A record whose counts do not fit its size is
// skipped; an unknown record is skipped; EMF+ and other comments are skipped,
// so a file with EMF+ records draws its plain EMF records.

#include "core/imaging/byte_reader.h"
#include "core/imaging/metafile_dib.h"
#include "core/imaging/metafile_objects.h"
#include "core/imaging/metafile_players.h"
#include "core/imaging/metafile_text.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <vector>

namespace harpoly::metafile {

namespace {

enum : std::uint32_t {
    kHeader = 1,
    kPolyBezier = 2,
    kPolygon = 3,
    kPolyline = 4,
    kPolyBezierTo = 5,
    kPolylineTo = 6,
    kPolyPolyline = 7,
    kPolyPolygon = 8,
    kSetWindowExtEx = 9,
    kSetWindowOrgEx = 10,
    kSetViewportExtEx = 11,
    kSetViewportOrgEx = 12,
    kEof = 14,
    kSetPixelV = 15,
    kSetMapMode = 17,
    kSetBkMode = 18,
    kSetPolyFillMode = 19,
    kSetRop2 = 20,
    kSetStretchBltMode = 21,
    kSetTextAlign = 22,
    kSetTextColor = 24,
    kSetBkColor = 25,
    kOffsetClipRgn = 26,
    kMoveToEx = 27,
    kExcludeClipRect = 29,
    kIntersectClipRect = 30,
    kScaleViewportExtEx = 31,
    kScaleWindowExtEx = 32,
    kSaveDc = 33,
    kRestoreDc = 34,
    kSetWorldTransform = 35,
    kModifyWorldTransform = 36,
    kSelectObject = 37,
    kCreatePen = 38,
    kCreateBrushIndirect = 39,
    kDeleteObject = 40,
    kAngleArc = 41,
    kEllipse = 42,
    kRectangle = 43,
    kRoundRect = 44,
    kArc = 45,
    kChord = 46,
    kPie = 47,
    kSelectPalette = 48,
    kCreatePalette = 49,
    kSetPaletteEntries = 50,
    kLineTo = 54,
    kArcTo = 55,
    kPolyDraw = 56,
    kSetArcDirection = 57,
    kBeginPath = 59,
    kEndPath = 60,
    kCloseFigure = 61,
    kFillPath = 62,
    kStrokeAndFillPath = 63,
    kStrokePath = 64,
    kSelectClipPath = 67,
    kAbortPath = 68,
    kFillRgn = 71,
    kFrameRgn = 72,
    kInvertRgn = 73,
    kPaintRgn = 74,
    kExtSelectClipRgn = 75,
    kBitBlt = 76,
    kStretchBlt = 77,
    kSetDiBitsToDevice = 80,
    kStretchDiBits = 81,
    kExtCreateFontIndirectW = 82,
    kExtTextOutA = 83,
    kExtTextOutW = 84,
    kPolyBezier16 = 85,
    kPolygon16 = 86,
    kPolyline16 = 87,
    kPolyBezierTo16 = 88,
    kPolylineTo16 = 89,
    kPolyPolyline16 = 90,
    kPolyPolygon16 = 91,
    kPolyDraw16 = 92,
    kCreateMonoBrush = 93,
    kCreateDibPatternBrushPt = 94,
    kExtCreatePen = 95,
    kPolyTextOutA = 96,
    kPolyTextOutW = 97,
    kSmallTextOut = 108,
    kAlphaBlend = 114,
    kTransparentBlt = 116,
};

constexpr unsigned kEtoGlyphIndex = 0x10;
constexpr unsigned kEtoNoRect = 0x100;
constexpr unsigned kEtoSmallChars = 0x200;
constexpr unsigned kEtoPdy = 0x2000;

// Whether a ternary raster code uses its source at all.
bool usesSource(std::uint32_t rop) {
    const unsigned code = rop >> 16 & 0xFFu;
    return ((code >> 2) & 0x33u) != (code & 0x33u);
}

ClipOp clipOp(std::uint32_t mode) {
    switch (mode) {
    case 1:
        return ClipOp::Intersect;
    case 2:
        return ClipOp::Unite;
    case 3:
        return ClipOp::Xor;
    case 4:
        return ClipOp::Subtract;
    default:
        return ClipOp::Replace;
    }
}

class EmfPlayer {
public:
    EmfPlayer(std::span<const std::uint8_t> data, Canvas& canvas, int slots)
        : data_(data), canvas_(canvas), objects_(slots) {}

    bool run() {
        std::size_t pos = 0;
        while (pos + 8 <= data_.size() && !canvas_.full()) {
            ByteReader head(data_.subspan(pos, 8));
            const std::uint32_t type = head.u32(0);
            const std::uint32_t size = head.u32(4);
            if (size < 8 || size > data_.size() - pos) {
                return false;
            }
            if (type == kEof) {
                return true;
            }
            rec_ = data_.subspan(pos, size);
            play(type);
            pos += size;
        }
        return true;
    }

private:
    std::uint32_t u32(std::size_t at) { return ByteReader(rec_).u32(at); }
    std::int32_t i32(std::size_t at) { return ByteReader(rec_).i32(at); }
    std::uint16_t u16(std::size_t at) { return ByteReader(rec_).u16(at); }
    double f32(std::size_t at) { return std::bit_cast<float>(u32(at)); }
    bool fits(std::size_t at, std::size_t length) const {
        return at <= rec_.size() && length <= rec_.size() - at;
    }
    DPoint point32(std::size_t at) { return {double(i32(at)), double(i32(at + 4))}; }
    Box rect32(std::size_t at) {
        return {float(i32(at)), float(i32(at + 4)), float(i32(at + 8)), float(i32(at + 12))};
    }
    Matrix xform(std::size_t at) {
        return {f32(at), f32(at + 4), f32(at + 8), f32(at + 12), f32(at + 16), f32(at + 20)};
    }

    // `count` points of 8 (wide) or 4 bytes at `at`; false when they overrun.
    bool readPoints(std::size_t at, std::size_t count, bool wide) {
        const std::size_t each = wide ? 8 : 4;
        if (count > rec_.size() / each || !fits(at, count * each)) {
            return false;
        }
        points_.resize(count);
        const std::uint8_t* p = rec_.data() + at;
        for (std::size_t i = 0; i < count; ++i, p += each) {
            if (wide) {
                points_[i] = {double(static_cast<std::int32_t>(p[0] | p[1] << 8 | p[2] << 16 |
                                                               std::uint32_t(p[3]) << 24)),
                              double(static_cast<std::int32_t>(p[4] | p[5] << 8 | p[6] << 16 |
                                                               std::uint32_t(p[7]) << 24))};
            } else {
                points_[i] = {double(static_cast<std::int16_t>(p[0] | p[1] << 8)),
                              double(static_cast<std::int16_t>(p[2] | p[3] << 8))};
            }
        }
        return true;
    }

    void poly(std::uint32_t type, bool wide) {
        const std::uint32_t count = u32(24);
        if (!readPoints(28, count, wide)) {
            return;
        }
        switch (type) {
        case kPolyBezier:
        case kPolyBezier16:
            canvas_.polyBezier(points_);
            break;
        case kPolygon:
        case kPolygon16:
            canvas_.polygon(points_);
            break;
        case kPolyline:
        case kPolyline16:
            canvas_.polyline(points_);
            break;
        case kPolyBezierTo:
        case kPolyBezierTo16:
            canvas_.polyBezierTo(points_);
            break;
        default:
            canvas_.polylineTo(points_);
            break;
        }
    }

    void polyPoly(bool closed, bool wide) {
        const std::uint32_t figures = u32(24);
        const std::uint32_t total = u32(28);
        if (figures > rec_.size() / 4 || !fits(32, std::size_t{figures} * 4)) {
            return;
        }
        counts_.resize(figures);
        std::uint64_t sum = 0;
        for (std::uint32_t i = 0; i < figures; ++i) {
            counts_[i] = u32(32 + 4 * std::size_t{i});
            sum += counts_[i];
        }
        if (sum != total || !readPoints(32 + std::size_t{figures} * 4, total, wide)) {
            return;
        }
        canvas_.polyPolygon(points_, counts_, closed);
    }

    void polyDraw(bool wide) {
        const std::uint32_t count = u32(24);
        if (!readPoints(28, count, wide)) {
            return;
        }
        const std::size_t typesAt = 28 + std::size_t{count} * (wide ? 8 : 4);
        if (!fits(typesAt, count)) {
            return;
        }
        canvas_.polyDraw(points_, rec_.subspan(typesAt, count));
    }

    std::optional<Brush> brushObject(std::uint32_t index) {
        std::optional<GdiObject> stock;
        const GdiObject* object = nullptr;
        if (index & 0x80000000u) {
            stock = stockObject(index & 0x7FFFFFFFu);
            object = stock ? &*stock : nullptr;
        } else {
            object = objects_.find(index);
        }
        if (const Brush* b = object ? std::get_if<Brush>(object) : nullptr) {
            return *b;
        }
        return std::nullopt;
    }

    // RGNDATA at `at`, `size` bytes: its rectangles, or nothing when its
    // count does not fit.
    std::optional<std::vector<Box>> regionRects(std::size_t at, std::size_t size) {
        if (!fits(at, size) || size < 32) {
            return std::nullopt;
        }
        const std::uint32_t count = u32(at + 8);
        if (count > (size - 32) / 16) {
            return std::nullopt;
        }
        std::vector<Box> rects(count);
        for (std::uint32_t i = 0; i < count; ++i) {
            rects[i] = rect32(at + 32 + 16 * std::size_t{i});
        }
        return rects;
    }

    std::optional<RgbaImage> dib(std::size_t offInfo, std::size_t cbInfo, std::size_t offBits,
                                 std::size_t cbBits, std::uint32_t usage, bool alpha = false,
                                 int rows = 0) {
        if (cbInfo == 0 || !fits(offInfo, cbInfo) || !fits(offBits, cbBits)) {
            return std::nullopt;
        }
        DibSource source;
        source.info = rec_.subspan(offInfo, cbInfo);
        source.bits = rec_.subspan(offBits, cbBits);
        source.paletteIndexes = usage == 1;
        source.palette = canvas_.palette(canvas_.dc().palette);
        source.alpha = alpha;
        source.rows = rows;
        return decodeDib(source, canvas_);
    }

    // BitBlt, StretchBlt, AlphaBlend, TransparentBlt: a source device
    // context whose bitmap the record carries, or none (a pattern fill).
    void blit(std::uint32_t type) {
        const bool stretch = type != kBitBlt;
        if (!fits(0, stretch ? 108 : 100)) {
            return;
        }
        const double x = i32(24), y = i32(28), w = i32(32), h = i32(36);
        const std::uint32_t rop = u32(40);
        const double srcX = i32(44), srcY = i32(48);
        const std::uint32_t cbInfo = u32(88);
        const bool patternOnly =
            cbInfo == 0 || ((type == kBitBlt || type == kStretchBlt) && !usesSource(rop));
        if (patternOnly) {
            canvas_.patBlt(x, y, w, h, rop);
            return;
        }
        const bool alphaFormat = type == kAlphaBlend && (rop >> 24 & 0xFFu) == 1;
        std::optional<RgbaImage> image =
            dib(u32(84), cbInfo, u32(92), u32(96), u32(80), alphaFormat);
        if (!image) {
            return;
        }
        // The source rectangle, through the source's own transform.
        Matrix src = xform(52);
        if (!src.finite() || src.determinant() == 0) {
            src = Matrix{};
        }
        const double srcW = stretch ? i32(100) : w;
        const double srcH = stretch ? i32(104) : h;
        const DPoint from = src.map(srcX, srcY);
        const DPoint size = src.mapVector(srcW, srcH);
        RasterOp op = rasterOpWithSource(rop);
        std::uint8_t constantAlpha = 255;
        if (type == kAlphaBlend) {
            op = RasterOp::Blend;
            constantAlpha = static_cast<std::uint8_t>(rop >> 16);
        } else if (type == kTransparentBlt) {
            // The raster code field holds the colour to leave out.
            const Colour key = canvas_.colour(rop) & 0x00FFFFFFu;
            for (std::uint32_t& p : image->pixels) {
                if ((p & 0x00FFFFFFu) == key) {
                    p = 0;
                }
            }
            op = RasterOp::Blend;
        }
        const std::int32_t index = canvas_.addImage(std::move(*image));
        canvas_.bitmap(x, y, w, h, index, int(std::lround(from.x)), int(std::lround(from.y)),
                       int(std::lround(size.x)), int(std::lround(size.y)), op, constantAlpha);
    }

    // StretchDIBits and SetDIBitsToDevice: the source rectangle counts rows
    // from the bottom of a bottom-up bitmap.
    void dibits(bool stretch) {
        if (!fits(0, stretch ? 80 : 76)) {
            return;
        }
        const double x = i32(24), y = i32(28);
        const int srcX = i32(32), srcY = i32(36), srcW = i32(40), srcH = i32(44);
        const std::uint32_t offInfo = u32(48), cbInfo = u32(52), offBits = u32(56),
                            cbBits = u32(60), usage = u32(64);
        if (cbInfo == 0 || !fits(offInfo, cbInfo)) {
            return;
        }
        const std::optional<DibShape> shape = dibShape(rec_.subspan(offInfo, cbInfo));
        if (!shape) {
            return;
        }
        int rows = 0;
        int bandTop = 0; // first row of the band, counted from the bottom
        double w = srcW, h = srcH;
        std::uint32_t rop = 0x00CC0020u;
        if (stretch) {
            rop = u32(68);
            w = i32(72);
            h = i32(76);
            if (!usesSource(rop)) {
                canvas_.patBlt(x, y, w, h, rop);
                return;
            }
        } else {
            bandTop = static_cast<int>(std::min<std::uint32_t>(u32(68), kMaxMetafileSide * 4u));
            rows = static_cast<int>(std::min<std::uint32_t>(u32(72), kMaxMetafileSide * 4u));
            if (rows == 0) {
                return;
            }
        }
        std::optional<RgbaImage> image = dib(offInfo, cbInfo, offBits, cbBits, usage, false, rows);
        if (!image) {
            return;
        }
        int top = srcY;
        if (!shape->topDown) {
            // Scan lines count from the bottom of the whole bitmap; the band's
            // lowest row is scan line bandTop.
            top = static_cast<int>(std::clamp<long long>(static_cast<long long>(image->height) +
                                                             bandTop -
                                                             (static_cast<long long>(srcY) + srcH),
                                                         INT32_MIN / 2, INT32_MAX / 2));
        }
        const std::int32_t index = canvas_.addImage(std::move(*image));
        canvas_.bitmap(x, y, w, h, index, srcX, top, srcW, srcH, rasterOpWithSource(rop));
    }

    // An EMRTEXT at `at`; `wide` for UTF-16 strings.
    void textAt(std::size_t at, bool wide) {
        if (!fits(at, 24)) {
            return;
        }
        const DPoint reference = point32(at);
        const std::uint32_t chars = u32(at + 8);
        const std::uint32_t offString = u32(at + 12);
        const unsigned options = u32(at + 16);
        if (options & kEtoGlyphIndex) {
            return; // glyph numbers of a font we do not have: nothing to show
        }
        const bool hasRect = !(options & kEtoNoRect);
        const Box rect = hasRect ? rect32(at + 20) : Box{};
        const std::uint32_t offDx = u32(at + (hasRect ? 36 : 20));
        const std::size_t unit = wide ? 2 : 1;
        if (chars > rec_.size() || !fits(offString, std::size_t{chars} * unit)) {
            return;
        }
        const std::size_t step = options & kEtoPdy ? 2 : 1;
        advances_.clear();
        if (offDx != 0 && fits(offDx, std::size_t{chars} * 4 * step)) {
            advances_.resize(chars);
            for (std::uint32_t i = 0; i < chars; ++i) {
                advances_[i] = i32(offDx + 4 * step * i);
            }
        }
        const std::span<const std::uint8_t> bytes =
            rec_.subspan(offString, std::size_t{chars} * unit);
        std::string text;
        if (wide) {
            text = decoder_.utf16(bytes, advances_, folded_);
        } else {
            text = decoder_.ansi(canvas_.dc().font.charset,
                                 {reinterpret_cast<const char*>(bytes.data()), bytes.size()},
                                 advances_, folded_);
        }
        canvas_.text(reference, std::move(text), folded_, options, hasRect ? &rect : nullptr);
    }

    void smallTextOut() {
        const DPoint reference = point32(8);
        const std::uint32_t chars = u32(16);
        const unsigned options = u32(20);
        if (options & kEtoGlyphIndex) {
            return;
        }
        const bool hasRect = !(options & kEtoNoRect);
        const Box rect = hasRect ? rect32(36) : Box{};
        const std::size_t at = hasRect ? 52 : 36;
        const bool small = options & kEtoSmallChars;
        if (chars > rec_.size() || !fits(at, std::size_t{chars} * (small ? 1 : 2))) {
            return;
        }
        std::vector<std::uint8_t> units;
        if (small) {
            // Eight-bit characters are the low bytes of UTF-16 units.
            for (std::uint32_t i = 0; i < chars; ++i) {
                units.push_back(rec_[at + i]);
                units.push_back(0);
            }
        } else {
            units.assign(rec_.begin() + at, rec_.begin() + at + std::size_t{chars} * 2);
        }
        std::string text = decoder_.utf16(units, {}, folded_);
        canvas_.text(reference, std::move(text), folded_, options, hasRect ? &rect : nullptr);
    }

    void createFont() {
        if (!fits(0, 104)) {
            return;
        }
        LogFont f;
        f.height = i32(12);
        f.width = i32(16);
        f.escapement = i32(20);
        f.weight = i32(28);
        f.italic = rec_[32] != 0;
        f.underline = rec_[33] != 0;
        f.strikeout = rec_[34] != 0;
        f.charset = rec_[35];
        f.pitchAndFamily = rec_[39];
        f.face = faceFromUtf16(rec_.subspan(40, 64));
        objects_.put(u32(8), f);
    }

    void extCreatePen() {
        if (!fits(0, 52)) {
            return;
        }
        const std::uint32_t style = u32(28);
        const bool geometric = (style & 0xF0000u) == 0x10000u;
        const std::uint32_t brushStyle = u32(36);
        LogPen pen = penFromStyle(style, geometric ? double(u32(32)) : 0, canvas_.colour(u32(40)));
        pen.geometric = geometric;
        pen.cosmetic = !geometric;
        if (brushStyle == 1) { // BS_NULL: an invisible pen
            pen.style = PenStyle::None;
        }
        objects_.put(u32(8), pen);
    }

    void patternBrush() {
        if (!fits(0, 32)) {
            return;
        }
        std::optional<RgbaImage> image = dib(u32(16), u32(20), u32(24), u32(28), u32(12));
        Brush b{BrushStyle::Solid, 0xFF808080u};
        if (image) {
            b.style = BrushStyle::Pattern;
            b.pattern = canvas_.addImage(std::move(*image));
        }
        objects_.put(u32(8), b);
    }

    void createPalette() {
        const std::uint16_t count = u16(14);
        if (!fits(16, std::size_t{count} * 4)) {
            return;
        }
        std::vector<Colour> entries(count);
        for (std::size_t i = 0; i < count; ++i) {
            entries[i] = canvas_.colour(u32(16 + 4 * i) & 0x00FFFFFFu);
        }
        objects_.put(u32(8), canvas_.addPalette(std::move(entries)));
    }

    void select(std::uint32_t index) {
        if (index & 0x80000000u) {
            if (const std::optional<GdiObject> stock = stockObject(index & 0x7FFFFFFFu)) {
                selectObject(canvas_, *stock);
            }
        } else if (const GdiObject* object = objects_.find(index)) {
            selectObject(canvas_, *object);
        }
    }

    void play(std::uint32_t type) {
        DcState& dc = canvas_.dc();
        switch (type) {
        case kPolyBezier:
        case kPolygon:
        case kPolyline:
        case kPolyBezierTo:
        case kPolylineTo:
            poly(type, true);
            break;
        case kPolyBezier16:
        case kPolygon16:
        case kPolyline16:
        case kPolyBezierTo16:
        case kPolylineTo16:
            poly(type, false);
            break;
        case kPolyPolyline:
            polyPoly(false, true);
            break;
        case kPolyPolygon:
            polyPoly(true, true);
            break;
        case kPolyPolyline16:
            polyPoly(false, false);
            break;
        case kPolyPolygon16:
            polyPoly(true, false);
            break;
        case kPolyDraw:
            polyDraw(true);
            break;
        case kPolyDraw16:
            polyDraw(false);
            break;
        case kSetWindowExtEx:
            canvas_.setWindowExt(i32(8), i32(12));
            break;
        case kSetWindowOrgEx:
            canvas_.setWindowOrg(i32(8), i32(12));
            break;
        case kSetViewportExtEx:
            canvas_.setViewportExt(i32(8), i32(12));
            break;
        case kSetViewportOrgEx:
            canvas_.setViewportOrg(i32(8), i32(12));
            break;
        case kScaleViewportExtEx:
            canvas_.scaleViewportExt(i32(8), i32(12), i32(16), i32(20));
            break;
        case kScaleWindowExtEx:
            canvas_.scaleWindowExt(i32(8), i32(12), i32(16), i32(20));
            break;
        case kSetMapMode:
            canvas_.setMapMode(i32(8));
            break;
        case kSetWorldTransform:
            if (fits(8, 24)) {
                canvas_.setWorldTransform(xform(8));
            }
            break;
        case kModifyWorldTransform:
            if (fits(8, 28)) {
                canvas_.modifyWorldTransform(xform(8), u32(32));
            }
            break;
        case kSetPixelV:
            canvas_.setPixel(point32(8), canvas_.colour(u32(16)));
            break;
        case kSetBkMode:
            dc.opaque = u32(8) == 2;
            break;
        case kSetPolyFillMode:
            dc.polyFill = u32(8) == 2 ? FillRule::Winding : FillRule::Alternate;
            break;
        case kSetRop2:
            dc.rop2 = i32(8);
            break;
        case kSetStretchBltMode:
            dc.smoothStretch = u32(8) == 4; // HALFTONE
            break;
        case kSetTextAlign:
            dc.textAlign = u32(8);
            break;
        case kSetTextColor:
            dc.textColour = canvas_.colour(u32(8));
            break;
        case kSetBkColor:
            dc.bkColour = canvas_.colour(u32(8));
            break;
        case kSetArcDirection:
            dc.clockwise = u32(8) == 2;
            break;
        case kMoveToEx:
            canvas_.moveTo(point32(8));
            break;
        case kLineTo:
            canvas_.lineTo(point32(8));
            break;
        case kOffsetClipRgn:
            canvas_.offsetClip(i32(8), i32(12));
            break;
        case kExcludeClipRect:
            canvas_.excludeClipRect(i32(8), i32(12), i32(16), i32(20));
            break;
        case kIntersectClipRect:
            canvas_.intersectClipRect(i32(8), i32(12), i32(16), i32(20));
            break;
        case kSaveDc:
            canvas_.save();
            break;
        case kRestoreDc:
            canvas_.restore(i32(8));
            break;
        case kSelectObject:
            select(u32(8));
            break;
        case kDeleteObject:
            objects_.erase(u32(8));
            break;
        case kCreatePen:
            if (fits(0, 28)) {
                objects_.put(u32(8), penFromStyle(u32(12), std::abs(double(i32(16))),
                                                  canvas_.colour(u32(24))));
            }
            break;
        case kExtCreatePen:
            extCreatePen();
            break;
        case kCreateBrushIndirect:
            if (fits(0, 24)) {
                objects_.put(u32(8), brushFromStyle(u32(12), canvas_.colour(u32(16)), u32(20)));
            }
            break;
        case kCreateMonoBrush:
        case kCreateDibPatternBrushPt:
            patternBrush();
            break;
        case kExtCreateFontIndirectW:
            createFont();
            break;
        case kCreatePalette:
            createPalette();
            break;
        case kSelectPalette:
            select(u32(8));
            break;
        case kSetPaletteEntries: {
            const GdiObject* object = objects_.find(u32(8));
            const std::int32_t* palette = object ? std::get_if<std::int32_t>(object) : nullptr;
            const std::uint32_t count = u32(16);
            if (palette && count <= rec_.size() / 4 && fits(20, std::size_t{count} * 4)) {
                std::vector<Colour> entries(count);
                for (std::size_t i = 0; i < count; ++i) {
                    entries[i] = canvas_.colour(u32(20 + 4 * i) & 0x00FFFFFFu);
                }
                canvas_.setPaletteEntries(*palette, u32(12), entries);
            }
            break;
        }
        case kAngleArc:
            canvas_.angleArc(point32(8), u32(16), f32(20), f32(24));
            break;
        case kEllipse:
            canvas_.ellipse(i32(8), i32(12), i32(16), i32(20));
            break;
        case kRectangle:
            canvas_.rectangle(i32(8), i32(12), i32(16), i32(20));
            break;
        case kRoundRect:
            canvas_.roundRect(i32(8), i32(12), i32(16), i32(20), i32(24), i32(28));
            break;
        case kArc:
        case kChord:
        case kPie:
        case kArcTo: {
            const ArcKind kind = type == kArc     ? ArcKind::Arc
                                 : type == kChord ? ArcKind::Chord
                                 : type == kPie   ? ArcKind::Pie
                                                  : ArcKind::ArcTo;
            canvas_.arc(kind, i32(8), i32(12), i32(16), i32(20), point32(24), point32(32));
            break;
        }
        case kBeginPath:
            canvas_.beginPath();
            break;
        case kEndPath:
            canvas_.endPath();
            break;
        case kCloseFigure:
            canvas_.closeFigure();
            break;
        case kFillPath:
            canvas_.drawPath(true, false);
            break;
        case kStrokePath:
            canvas_.drawPath(false, true);
            break;
        case kStrokeAndFillPath:
            canvas_.drawPath(true, true);
            break;
        case kAbortPath:
            canvas_.abortPath();
            break;
        case kSelectClipPath:
            canvas_.selectClipPath(clipOp(u32(8)));
            break;
        case kExtSelectClipRgn: {
            const std::uint32_t size = u32(8);
            const ClipOp op = clipOp(u32(12));
            if (size == 0) {
                canvas_.selectClipRects({}, op, true);
            } else if (const auto rects = regionRects(16, size)) {
                canvas_.selectClipRects(*rects, op, true);
            }
            break;
        }
        case kFillRgn:
            if (const auto rects = regionRects(32, u32(24))) {
                if (const auto brush = brushObject(u32(28))) {
                    canvas_.fillRects(*rects, *brush);
                }
            }
            break;
        case kFrameRgn:
            if (const auto rects = regionRects(40, u32(24))) {
                if (const auto brush = brushObject(u32(28))) {
                    canvas_.frameRects(*rects, *brush, i32(32), i32(36));
                }
            }
            break;
        case kInvertRgn:
            if (const auto rects = regionRects(28, u32(24))) {
                canvas_.invertRects(*rects);
            }
            break;
        case kPaintRgn:
            if (const auto rects = regionRects(28, u32(24))) {
                canvas_.fillRects(*rects, dc.brush);
            }
            break;
        case kBitBlt:
        case kStretchBlt:
        case kAlphaBlend:
        case kTransparentBlt:
            blit(type);
            break;
        case kStretchDiBits:
            dibits(true);
            break;
        case kSetDiBitsToDevice:
            dibits(false);
            break;
        case kExtTextOutA:
        case kExtTextOutW:
            textAt(36, type == kExtTextOutW);
            break;
        case kPolyTextOutA:
        case kPolyTextOutW: {
            const std::uint32_t strings = u32(36);
            for (std::uint32_t i = 0; i < strings && fits(40 + 40 * std::size_t{i}, 40); ++i) {
                textAt(40 + 40 * std::size_t{i}, type == kPolyTextOutW);
            }
            break;
        }
        case kSmallTextOut:
            smallTextOut();
            break;
        default:
            // The header, comments (EMF+ among them), and everything this
            // player does not draw.
            break;
        }
    }

    std::span<const std::uint8_t> data_;
    Canvas& canvas_;
    ObjectTable objects_;
    TextDecoder decoder_;
    std::span<const std::uint8_t> rec_;
    std::vector<DPoint> points_;
    std::vector<std::uint32_t> counts_;
    std::vector<double> advances_;
    std::vector<double> folded_;
};

} // namespace

bool playEmf(std::span<const std::uint8_t> data, Canvas& canvas, int objectSlots) {
    return EmfPlayer(data, canvas, objectSlots).run();
}

} // namespace harpoly::metafile
