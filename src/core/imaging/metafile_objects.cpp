#include "core/imaging/metafile_objects.h"

#include <algorithm>

namespace harpoly::metafile {

const GdiObject* ObjectTable::find(std::uint32_t index) const {
    if (index >= slots_.size() || std::holds_alternative<std::monostate>(slots_[index])) {
        return nullptr;
    }
    return &slots_[index];
}

void ObjectTable::put(std::uint32_t index, GdiObject object) {
    if (index >= limit_) {
        return;
    }
    if (index >= slots_.size()) {
        slots_.resize(static_cast<std::size_t>(index) + 1);
    }
    slots_[index] = std::move(object);
}

void ObjectTable::putFirstFree(GdiObject object) {
    // The lowest free slot is never below lowestFree_, so creating many
    // objects stays linear however full the table gets.
    std::size_t i = lowestFree_;
    while (i < slots_.size() && !std::holds_alternative<std::monostate>(slots_[i])) {
        ++i;
    }
    lowestFree_ = i + 1;
    if (i >= limit_) {
        lowestFree_ = limit_;
        return;
    }
    put(static_cast<std::uint32_t>(i), std::move(object));
}

void ObjectTable::erase(std::uint32_t index) {
    if (index < slots_.size()) {
        slots_[index] = std::monostate{};
        lowestFree_ = std::min<std::size_t>(lowestFree_, index);
    }
}

std::optional<GdiObject> stockObject(std::uint32_t n) {
    const auto brush = [](Colour c) { return GdiObject{Brush{BrushStyle::Solid, c}}; };
    const auto pen = [](Colour c) { return GdiObject{LogPen{PenStyle::Solid, c}}; };
    const auto font = [](const char* face, int height, std::uint8_t pitch) {
        LogFont f;
        f.face = face;
        f.height = height;
        f.pitchAndFamily = pitch;
        return GdiObject{f};
    };
    switch (n) {
    case 0:
        return brush(0xFFFFFFFFu);
    case 1:
        return brush(0xFFC0C0C0u);
    case 2:
        return brush(0xFF808080u);
    case 3:
        return brush(0xFF404040u);
    case 4:
        return brush(0xFF000000u);
    case 5:
        return GdiObject{Brush{BrushStyle::None}};
    case 6:
        return pen(0xFFFFFFFFu);
    case 7:
        return pen(0xFF000000u);
    case 8:
        return GdiObject{LogPen{PenStyle::None}};
    case 10: // OEM_FIXED_FONT
    case 11: // ANSI_FIXED_FONT
    case 16: // SYSTEM_FIXED_FONT
        return font("Courier New", 16, 0x31);
    case 12: // ANSI_VAR_FONT
    case 13: // SYSTEM_FONT
    case 14: // DEVICE_DEFAULT_FONT
    case 17: // DEFAULT_GUI_FONT
        return font("", 16, 0x22);
    case 15: // DEFAULT_PALETTE
        return GdiObject{std::int32_t{-1}};
    case 18: // DC_BRUSH: white until set
        return brush(0xFFFFFFFFu);
    case 19: // DC_PEN: black until set
        return pen(0xFF000000u);
    default:
        return std::nullopt;
    }
}

LogPen penFromStyle(std::uint32_t style, double width, Colour colour) {
    LogPen pen;
    pen.colour = colour;
    pen.width = width;
    switch (style & 0x0F) {
    case 1:
        pen.style = PenStyle::Dash;
        break;
    case 2:
    case 8: // PS_ALTERNATE
        pen.style = PenStyle::Dot;
        break;
    case 3:
        pen.style = PenStyle::DashDot;
        break;
    case 4:
        pen.style = PenStyle::DashDotDot;
        break;
    case 5:
        pen.style = PenStyle::None;
        break;
    case 7: // PS_USERSTYLE
        pen.style = PenStyle::Dash;
        break;
    default: // PS_SOLID, PS_INSIDEFRAME
        pen.style = PenStyle::Solid;
        break;
    }
    switch (style & 0x0F00) {
    case 0x0100:
        pen.cap = LineCap::Square;
        break;
    case 0x0200:
        pen.cap = LineCap::Flat;
        break;
    default:
        pen.cap = LineCap::Round;
        break;
    }
    switch (style & 0xF000) {
    case 0x1000:
        pen.join = LineJoin::Bevel;
        break;
    case 0x2000:
        pen.join = LineJoin::Miter;
        break;
    default:
        pen.join = LineJoin::Round;
        break;
    }
    return pen;
}

Brush brushFromStyle(std::uint32_t style, Colour colour, std::uint32_t hatch) {
    Brush b;
    b.colour = colour;
    switch (style) {
    case 1: // BS_NULL
        b.style = BrushStyle::None;
        break;
    case 2: // BS_HATCHED
        b.style = BrushStyle::Hatch;
        b.hatch = hatch <= 5 ? static_cast<Hatch>(hatch) : Hatch::Horizontal;
        break;
    default:
        b.style = BrushStyle::Solid;
        break;
    }
    return b;
}

RasterOp rasterOpWithSource(std::uint32_t rop) {
    switch (rop >> 16 & 0xFFu) {
    case 0xEE:
        return RasterOp::Or;
    case 0x88:
        return RasterOp::And;
    case 0x66:
        return RasterOp::Xor;
    case 0x33:
        return RasterOp::NotCopy;
    case 0x44:
        return RasterOp::AndNotDest;
    case 0x11:
        return RasterOp::NotOr;
    case 0xBB:
        return RasterOp::NotSourceOrDest;
    default:
        return RasterOp::Copy;
    }
}

void selectObject(Canvas& canvas, const GdiObject& object) {
    DcState& dc = canvas.dc();
    if (const auto* pen = std::get_if<LogPen>(&object)) {
        dc.pen = *pen;
    } else if (const auto* brush = std::get_if<Brush>(&object)) {
        dc.brush = *brush;
    } else if (const auto* font = std::get_if<LogFont>(&object)) {
        dc.font = *font;
    } else if (const auto* palette = std::get_if<std::int32_t>(&object)) {
        dc.palette = *palette;
    }
}

} // namespace harpoly::metafile
