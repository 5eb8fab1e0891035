// The WMF record player. Parameters are 16-bit words, most of them in the
// reverse order of the call they record (y before x, bottom before top).
// Every record that creates an object takes a slot, even one we cannot draw,
// so that the indexes of later records stay right.

#include "core/imaging/byte_reader.h"
#include "core/imaging/metafile_dib.h"
#include "core/imaging/metafile_objects.h"
#include "core/imaging/metafile_players.h"
#include "core/imaging/metafile_text.h"

#include <algorithm>
#include <climits>
#include <vector>

namespace harpoly::metafile {

namespace {

enum : std::uint16_t {
    kEof = 0x0000,
    kSetBkColor = 0x0201,
    kSetBkMode = 0x0102,
    kSetMapMode = 0x0103,
    kSetRop2 = 0x0104,
    kSetPolyFillMode = 0x0106,
    kSetStretchBltMode = 0x0107,
    kSetTextColor = 0x0209,
    kSetWindowOrg = 0x020B,
    kSetWindowExt = 0x020C,
    kSetViewportOrg = 0x020D,
    kSetViewportExt = 0x020E,
    kOffsetWindowOrg = 0x020F,
    kScaleWindowExt = 0x0410,
    kOffsetViewportOrg = 0x0211,
    kScaleViewportExt = 0x0412,
    kLineTo = 0x0213,
    kMoveTo = 0x0214,
    kExcludeClipRect = 0x0415,
    kIntersectClipRect = 0x0416,
    kArc = 0x0817,
    kEllipse = 0x0418,
    kPie = 0x081A,
    kRectangle = 0x041B,
    kRoundRect = 0x061C,
    kPatBlt = 0x061D,
    kSaveDc = 0x001E,
    kSetPixel = 0x041F,
    kOffsetClipRgn = 0x0220,
    kTextOut = 0x0521,
    kBitBlt = 0x0922,
    kStretchBlt = 0x0B23,
    kPolygon = 0x0324,
    kPolyline = 0x0325,
    kRestoreDc = 0x0127,
    kFillRegion = 0x0228,
    kFrameRegion = 0x0429,
    kInvertRegion = 0x012A,
    kPaintRegion = 0x012B,
    kSelectClipRegion = 0x012C,
    kSelectObject = 0x012D,
    kSetTextAlign = 0x012E,
    kChord = 0x0830,
    kExtTextOut = 0x0A32,
    kSetDibToDev = 0x0D33,
    kSelectPalette = 0x0234,
    kSetPalEntries = 0x0037,
    kPolyPolygon = 0x0538,
    kDibBitBlt = 0x0940,
    kDibStretchBlt = 0x0B41,
    kDibCreatePatternBrush = 0x0142,
    kStretchDib = 0x0F43,
    kDeleteObject = 0x01F0,
    kCreatePalette = 0x00F7,
    kCreatePatternBrush = 0x01F9,
    kCreatePenIndirect = 0x02FA,
    kCreateFontIndirect = 0x02FB,
    kCreateBrushIndirect = 0x02FC,
    kCreateRegion = 0x06FF,
};

constexpr unsigned kEtoOpaqueOrClipped = kEtoOpaque | kEtoClipped;

// Records start after the header, whose size in words it states itself.
std::size_t firstRecord(std::span<const std::uint8_t> data) {
    ByteReader r(data);
    return std::size_t{r.u16(2)} * 2;
}

class WmfPlayer {
public:
    WmfPlayer(std::span<const std::uint8_t> data, Canvas& canvas, int slots)
        : data_(data), canvas_(canvas), objects_(slots) {}

    bool run() {
        std::size_t pos = firstRecord(data_);
        while (pos + 6 <= data_.size() && !canvas_.full()) {
            ByteReader head(data_.subspan(pos, 6));
            const std::uint64_t bytes = std::uint64_t{head.u32(0)} * 2;
            const std::uint16_t function = head.u16(4);
            if (bytes < 6 || bytes > data_.size() - pos) {
                return false;
            }
            if (function == kEof) {
                return true;
            }
            rec_ = data_.subspan(pos, static_cast<std::size_t>(bytes));
            words_ = (rec_.size() - 6) / 2;
            play(function);
            pos += static_cast<std::size_t>(bytes);
        }
        return true;
    }

private:
    // Parameter word `i`, signed; 0 past the record's end.
    double p(std::size_t i) const {
        if (i >= words_) {
            return 0;
        }
        return static_cast<std::int16_t>(rec_[6 + 2 * i] | rec_[7 + 2 * i] << 8);
    }
    std::uint16_t u(std::size_t i) const {
        return i < words_ ? static_cast<std::uint16_t>(rec_[6 + 2 * i] | rec_[7 + 2 * i] << 8) : 0;
    }
    std::uint32_t u32(std::size_t i) const { return u(i) | std::uint32_t{u(i + 1)} << 16; }
    bool has(std::size_t count) const { return words_ >= count; }
    std::span<const std::uint8_t> tail(std::size_t word) const {
        return word < words_ ? rec_.subspan(6 + 2 * word) : std::span<const std::uint8_t>{};
    }

    // `count` points of x, y word pairs from word `at`.
    bool readPoints(std::size_t at, std::size_t count) {
        if (at > words_ || count > (words_ - at) / 2) {
            return false;
        }
        points_.resize(count);
        for (std::size_t i = 0; i < count; ++i) {
            points_[i] = {p(at + 2 * i), p(at + 2 * i + 1)};
        }
        return true;
    }

    // Bounds as the records give them: bottom, right, top, left from word `at`.
    void box(std::size_t at, double& l, double& t, double& r, double& b) const {
        b = p(at);
        r = p(at + 1);
        t = p(at + 2);
        l = p(at + 3);
    }

    const Region* region(std::uint16_t index) const {
        const GdiObject* object = objects_.find(index);
        return object ? std::get_if<Region>(object) : nullptr;
    }

    const Brush* brush(std::uint16_t index) const {
        const GdiObject* object = objects_.find(index);
        return object ? std::get_if<Brush>(object) : nullptr;
    }

    std::optional<RgbaImage> packedDib(std::size_t word, bool paletteIndexes) {
        const std::span<const std::uint8_t> dib = tail(word);
        const std::optional<std::size_t> infoSize = packedDibInfoSize(dib);
        if (!infoSize) {
            return std::nullopt;
        }
        DibSource source;
        source.info = dib.first(*infoSize);
        source.bits = dib.subspan(*infoSize);
        source.paletteIndexes = paletteIndexes;
        source.palette = canvas_.palette(canvas_.dc().palette);
        return decodeDib(source, canvas_);
    }

    // DIB blits: `bottomUp` when the source rectangle counts rows from the
    // bottom of the bitmap (StretchDIB), else from the top.
    void dibBlit(std::size_t dibWord, double x, double y, double w, double h, int srcX, int srcY,
                 int srcW, int srcH, std::uint32_t rop, bool paletteIndexes, bool bottomUp) {
        const std::optional<DibShape> shape = dibShape(tail(dibWord));
        std::optional<RgbaImage> image = packedDib(dibWord, paletteIndexes);
        if (!image || !shape) {
            return;
        }
        if (bottomUp && !shape->topDown) {
            srcY = image->height - (srcY + srcH);
        }
        const std::int32_t index = canvas_.addImage(std::move(*image));
        canvas_.bitmap(x, y, w, h, index, srcX, srcY, srcW, srcH, rasterOpWithSource(rop));
    }

    // A string of `count` bytes from word `stringWord`; ExtTextOut may
    // follow it with one advance per byte.
    void text(double x, double y, std::size_t count, std::size_t stringWord, bool extended,
              unsigned options, const Box* rect) {
        const std::span<const std::uint8_t> rest = tail(stringWord);
        if (count > rest.size()) {
            return;
        }
        advances_.clear();
        const std::size_t dxAt = (count + 1) / 2 * 2; // the string is padded to a word
        if (extended && rest.size() >= dxAt + 2 * count) {
            advances_.resize(count);
            for (std::size_t i = 0; i < count; ++i) {
                advances_[i] =
                    static_cast<std::int16_t>(rest[dxAt + 2 * i] | rest[dxAt + 2 * i + 1] << 8);
            }
        }
        std::string utf8 =
            decoder_.ansi(canvas_.dc().font.charset,
                          {reinterpret_cast<const char*>(rest.data()), count}, advances_, folded_);
        canvas_.text({x, y}, std::move(utf8), folded_, options, rect);
    }

    void extTextOut() {
        const double y = p(0), x = p(1);
        const std::size_t count = u(2);
        const unsigned options = u(3);
        std::size_t at = 4;
        Box rect;
        const bool hasRect = (options & kEtoOpaqueOrClipped) != 0;
        if (hasRect) {
            rect = {float(p(4)), float(p(5)), float(p(6)), float(p(7))};
            at = 8;
        }
        text(x, y, count, at, true, options, hasRect ? &rect : nullptr);
    }

    void textOut() {
        const std::size_t count = u(0);
        const std::size_t stringWords = (count + 1) / 2;
        if (!has(1 + stringWords + 2)) {
            return;
        }
        text(p(1 + stringWords + 1), p(1 + stringWords), count, 1, false, 0, nullptr);
    }

    void createFont() {
        LogFont f;
        f.height = static_cast<std::int32_t>(p(0));
        f.width = static_cast<std::int32_t>(p(1));
        f.escapement = static_cast<std::int32_t>(p(2));
        f.weight = static_cast<std::int32_t>(p(4));
        const std::span<const std::uint8_t> bytes = tail(5);
        if (bytes.size() >= 8) {
            f.italic = bytes[0] != 0;
            f.underline = bytes[1] != 0;
            f.strikeout = bytes[2] != 0;
            f.charset = bytes[3];
            f.pitchAndFamily = bytes[7];
            const std::span<const std::uint8_t> name =
                bytes.subspan(8, std::min<std::size_t>(32, bytes.size() - 8));
            const std::size_t length = static_cast<std::size_t>(
                std::find(name.begin(), name.end(), std::uint8_t{0}) - name.begin());
            f.face = decoder_.ansi(f.charset, {reinterpret_cast<const char*>(name.data()), length},
                                   {}, folded_);
        }
        objects_.putFirstFree(f);
    }

    void createRegion() {
        // Region16: header of 11 words, then scans of count, top, bottom,
        // count x-coordinates (left, right pairs) and count again.
        Region region;
        const std::size_t scans = u(5);
        std::size_t at = 11;
        for (std::size_t s = 0; s < scans && at + 3 <= words_; ++s) {
            const std::size_t count = u(at);
            if (count > words_ - at - 3) {
                break;
            }
            const double top = p(at + 1);
            const double bottom = p(at + 2);
            for (std::size_t k = 0; k + 1 < count; k += 2) {
                region.rects.push_back(
                    {float(p(at + 3 + k)), float(top), float(p(at + 4 + k)), float(bottom)});
            }
            at += 4 + count;
        }
        objects_.putFirstFree(std::move(region));
    }

    void createPalette() {
        const std::size_t count = u(1);
        std::vector<Colour> entries;
        if (count <= (words_ - std::min<std::size_t>(words_, 2)) / 2) {
            entries.resize(count);
            for (std::size_t i = 0; i < count; ++i) {
                entries[i] = canvas_.colour(u32(2 + 2 * i) & 0x00FFFFFFu);
            }
        }
        objects_.putFirstFree(canvas_.addPalette(std::move(entries)));
    }

    void select(std::uint16_t index) {
        if (const GdiObject* object = objects_.find(index)) {
            selectObject(canvas_, *object);
        }
    }

    void play(std::uint16_t function) {
        DcState& dc = canvas_.dc();
        double l, t, r, b;
        switch (function) {
        case kSetBkColor:
            dc.bkColour = canvas_.colour(u32(0));
            break;
        case kSetBkMode:
            dc.opaque = u(0) == 2;
            break;
        case kSetMapMode:
            canvas_.setMapMode(u(0));
            break;
        case kSetRop2:
            dc.rop2 = u(0);
            break;
        case kSetPolyFillMode:
            dc.polyFill = u(0) == 2 ? FillRule::Winding : FillRule::Alternate;
            break;
        case kSetStretchBltMode:
            dc.smoothStretch = u(0) == 4;
            break;
        case kSetTextColor:
            dc.textColour = canvas_.colour(u32(0));
            break;
        case kSetTextAlign:
            dc.textAlign = u(0);
            break;
        case kSetWindowOrg:
            canvas_.setWindowOrg(p(1), p(0));
            break;
        case kSetWindowExt:
            canvas_.setWindowExt(p(1), p(0));
            break;
        case kSetViewportOrg:
            canvas_.setViewportOrg(p(1), p(0));
            break;
        case kSetViewportExt:
            canvas_.setViewportExt(p(1), p(0));
            break;
        case kOffsetWindowOrg:
            canvas_.offsetWindowOrg(p(1), p(0));
            break;
        case kOffsetViewportOrg:
            canvas_.offsetViewportOrg(p(1), p(0));
            break;
        case kScaleWindowExt:
            canvas_.scaleWindowExt(p(3), p(2), p(1), p(0));
            break;
        case kScaleViewportExt:
            canvas_.scaleViewportExt(p(3), p(2), p(1), p(0));
            break;
        case kLineTo:
            canvas_.lineTo({p(1), p(0)});
            break;
        case kMoveTo:
            canvas_.moveTo({p(1), p(0)});
            break;
        case kExcludeClipRect:
            box(0, l, t, r, b);
            canvas_.excludeClipRect(l, t, r, b);
            break;
        case kIntersectClipRect:
            box(0, l, t, r, b);
            canvas_.intersectClipRect(l, t, r, b);
            break;
        case kOffsetClipRgn:
            canvas_.offsetClip(p(1), p(0));
            break;
        case kArc:
        case kPie:
        case kChord: {
            box(4, l, t, r, b);
            const ArcKind kind = function == kArc   ? ArcKind::Arc
                                 : function == kPie ? ArcKind::Pie
                                                    : ArcKind::Chord;
            canvas_.arc(kind, l, t, r, b, {p(3), p(2)}, {p(1), p(0)});
            break;
        }
        case kEllipse:
            box(0, l, t, r, b);
            canvas_.ellipse(l, t, r, b);
            break;
        case kRectangle:
            box(0, l, t, r, b);
            canvas_.rectangle(l, t, r, b);
            break;
        case kRoundRect:
            box(2, l, t, r, b);
            canvas_.roundRect(l, t, r, b, p(1), p(0));
            break;
        case kPatBlt:
            canvas_.patBlt(p(5), p(4), p(3), p(2), u32(0));
            break;
        case kSaveDc:
            canvas_.save();
            break;
        case kRestoreDc:
            canvas_.restore(static_cast<int>(p(0)));
            break;
        case kSetPixel:
            canvas_.setPixel({p(3), p(2)}, canvas_.colour(u32(0)));
            break;
        case kPolygon:
        case kPolyline:
            if (readPoints(1, u(0))) {
                if (function == kPolygon) {
                    canvas_.polygon(points_);
                } else {
                    canvas_.polyline(points_);
                }
            }
            break;
        case kPolyPolygon: {
            const std::size_t figures = u(0);
            if (figures + 1 > words_) {
                break;
            }
            counts_.resize(figures);
            std::size_t total = 0;
            for (std::size_t i = 0; i < figures; ++i) {
                counts_[i] = u(1 + i);
                total += counts_[i];
            }
            if (readPoints(1 + figures, total)) {
                canvas_.polyPolygon(points_, counts_, true);
            }
            break;
        }
        case kTextOut:
            textOut();
            break;
        case kExtTextOut:
            extTextOut();
            break;
        case kFillRegion:
            if (const Region* rgn = region(u(0)); rgn) {
                if (const Brush* br = brush(u(1))) {
                    canvas_.fillRects(rgn->rects, *br);
                }
            }
            break;
        case kFrameRegion:
            if (const Region* rgn = region(u(0)); rgn) {
                if (const Brush* br = brush(u(1))) {
                    canvas_.frameRects(rgn->rects, *br, p(3), p(2));
                }
            }
            break;
        case kInvertRegion:
            if (const Region* rgn = region(u(0))) {
                canvas_.invertRects(rgn->rects);
            }
            break;
        case kPaintRegion:
            if (const Region* rgn = region(u(0))) {
                canvas_.fillRects(rgn->rects, dc.brush);
            }
            break;
        case kSelectClipRegion:
            if (const Region* rgn = region(u(0))) {
                canvas_.selectClipRects(rgn->rects, ClipOp::Replace, false);
            } else {
                canvas_.selectClipRects({}, ClipOp::Replace, false);
            }
            break;
        case kSelectObject:
        case kSelectPalette:
            select(u(0));
            break;
        case kDeleteObject:
            objects_.erase(u(0));
            break;
        case kSetPalEntries: {
            // Changes entries of the palette in use.
            const std::size_t count = u(1);
            if (count <= (words_ - std::min<std::size_t>(words_, 2)) / 2) {
                std::vector<Colour> entries(count);
                for (std::size_t i = 0; i < count; ++i) {
                    entries[i] = canvas_.colour(u32(2 + 2 * i) & 0x00FFFFFFu);
                }
                canvas_.setPaletteEntries(dc.palette, u(0), entries);
            }
            break;
        }
        case kCreatePenIndirect: {
            LogPen pen = penFromStyle(u(0), std::abs(p(1)), canvas_.colour(u32(3)));
            objects_.putFirstFree(pen);
            break;
        }
        case kCreateBrushIndirect:
            objects_.putFirstFree(brushFromStyle(u(0), canvas_.colour(u32(1)), u(3)));
            break;
        case kCreateFontIndirect:
            createFont();
            break;
        case kCreatePalette:
            createPalette();
            break;
        case kCreateRegion:
            createRegion();
            break;
        case kCreatePatternBrush:
            // A device-dependent bitmap: shown as a mid grey.
            objects_.putFirstFree(Brush{BrushStyle::Solid, 0xFF808080u});
            break;
        case kDibCreatePatternBrush: {
            Brush brush{BrushStyle::Solid, 0xFF808080u};
            if (std::optional<RgbaImage> image = packedDib(2, u(1) == 1)) {
                brush.style = BrushStyle::Pattern;
                brush.pattern = canvas_.addImage(std::move(*image));
            }
            objects_.putFirstFree(brush);
            break;
        }
        case kDibBitBlt:
            if (words_ == 9) { // no bitmap: a pattern fill
                canvas_.patBlt(p(8), p(7), p(6), p(5), u32(0));
            } else if (has(8)) {
                dibBlit(8, p(7), p(6), p(5), p(4), int(p(3)), int(p(2)), int(p(5)), int(p(4)),
                        u32(0), false, false);
            }
            break;
        case kDibStretchBlt:
            if (words_ == 11) {
                canvas_.patBlt(p(10), p(9), p(8), p(7), u32(0));
            } else if (has(10)) {
                dibBlit(10, p(9), p(8), p(7), p(6), int(p(5)), int(p(4)), int(p(3)), int(p(2)),
                        u32(0), false, false);
            }
            break;
        case kBitBlt:
            if (words_ == 9) {
                canvas_.patBlt(p(8), p(7), p(6), p(5), u32(0));
            }
            break;
        case kStretchBlt:
            if (words_ == 11) {
                canvas_.patBlt(p(10), p(9), p(8), p(7), u32(0));
            }
            break;
        case kStretchDib:
            if (has(11)) {
                dibBlit(11, p(10), p(9), p(8), p(7), int(p(6)), int(p(5)), int(p(4)), int(p(3)),
                        u32(0), u(2) == 1, true);
            }
            break;
        case kSetDibToDev:
            if (has(9)) {
                // A band of scan lines; drawn as a bitmap of its own at the
                // band's place when it is the whole picture.
                dibBlit(9, p(8), p(7), p(6), p(5), int(p(4)), int(p(3)), int(p(6)), int(p(5)),
                        0x00CC0020u, u(0) == 1, true);
            }
            break;
        default:
            break; // escapes, palette animation and the rest draw nothing
        }
    }

    std::span<const std::uint8_t> data_;
    Canvas& canvas_;
    ObjectTable objects_;
    TextDecoder decoder_;
    std::span<const std::uint8_t> rec_;
    std::size_t words_ = 0;
    std::vector<DPoint> points_;
    std::vector<std::uint32_t> counts_;
    std::vector<double> advances_;
    std::vector<double> folded_;
};

} // namespace

bool playWmf(std::span<const std::uint8_t> data, Canvas& canvas, int objectSlots) {
    return WmfPlayer(data, canvas, objectSlots).run();
}

std::optional<DPoint> wmfWindowExtent(std::span<const std::uint8_t> data) {
    std::size_t pos = firstRecord(data);
    while (pos + 6 <= data.size()) {
        ByteReader r(data.subspan(pos));
        const std::uint64_t bytes = std::uint64_t{r.u32(0)} * 2;
        const std::uint16_t function = r.u16(4);
        if (bytes < 6 || bytes > data.size() - pos || function == kEof) {
            break;
        }
        if (function == kSetWindowExt && bytes >= 10) {
            return DPoint{double(static_cast<std::int16_t>(r.u16(8))),
                          double(static_cast<std::int16_t>(r.u16(6)))};
        }
        pos += static_cast<std::size_t>(bytes);
    }
    return std::nullopt;
}

} // namespace harpoly::metafile
