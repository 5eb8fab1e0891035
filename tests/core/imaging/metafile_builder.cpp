#include "imaging/metafile_builder.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace harpoly::metafile_testing {

void put16(Bytes& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(Bytes& out, std::uint32_t v) {
    put16(out, v & 0xFFFFu);
    put16(out, v >> 16);
}

void putFloat(Bytes& out, float v) {
    put32(out, std::bit_cast<std::uint32_t>(v));
}

namespace {

void set32(Bytes& out, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

void padTo4(Bytes& out) {
    while (out.size() % 4) {
        out.push_back(0);
    }
}

} // namespace

std::uint32_t colorRef(std::uint32_t rgb) {
    return (rgb >> 16 & 0xFFu) | (rgb & 0xFF00u) | (rgb & 0xFFu) << 16;
}

Bytes Dib::packed() const {
    Bytes out = info;
    out.insert(out.end(), bits.begin(), bits.end());
    return out;
}

Dib makeDib24(int width, int height, const std::function<std::uint32_t(int x, int y)>& colour) {
    Dib dib;
    put32(dib.info, 40);
    put32(dib.info, static_cast<std::uint32_t>(width));
    put32(dib.info, static_cast<std::uint32_t>(height));
    put16(dib.info, 1);
    put16(dib.info, 24);
    for (int i = 0; i < 6; ++i) {
        put32(dib.info, 0);
    }
    const int rowBytes = (width * 3 + 3) / 4 * 4;
    for (int row = height - 1; row >= 0; --row) {
        Bytes line;
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = colour(x, row);
            line.push_back(static_cast<std::uint8_t>(c));
            line.push_back(static_cast<std::uint8_t>(c >> 8));
            line.push_back(static_cast<std::uint8_t>(c >> 16));
        }
        line.resize(static_cast<std::size_t>(rowBytes), 0);
        dib.bits.insert(dib.bits.end(), line.begin(), line.end());
    }
    return dib;
}

// ---------------------------------------------------------------- EMF

EmfBuilder::EmfBuilder(int widthPx, int heightPx)
    : EmfBuilder([&] {
          Header h;
          h.bounds[2] = widthPx - 1;
          h.bounds[3] = heightPx - 1;
          h.frame[2] = widthPx * 25;
          h.frame[3] = heightPx * 25;
          return h;
      }()) {}

EmfBuilder::EmfBuilder(const Header& h) {
    Bytes& b = bytes_;
    put32(b, 1);
    put32(b, 108);
    for (const std::int32_t v : h.bounds) {
        put32(b, static_cast<std::uint32_t>(v));
    }
    for (const std::int32_t v : h.frame) {
        put32(b, static_cast<std::uint32_t>(v));
    }
    put32(b, 0x464D4520);
    put32(b, 0x10000);
    put32(b, 0); // nBytes, filled in by finish()
    put32(b, 0); // nRecords
    put16(b, 0); // nHandles
    put16(b, 0);
    put32(b, 0); // description
    put32(b, 0);
    put32(b, 0); // palette entries
    put32(b, static_cast<std::uint32_t>(h.device[0]));
    put32(b, static_cast<std::uint32_t>(h.device[1]));
    put32(b, static_cast<std::uint32_t>(h.millimetres[0]));
    put32(b, static_cast<std::uint32_t>(h.millimetres[1]));
    put32(b, 0); // pixel format
    put32(b, 0);
    put32(b, 0); // OpenGL
    put32(b, static_cast<std::uint32_t>(h.micrometres[0]));
    put32(b, static_cast<std::uint32_t>(h.micrometres[1]));
}

EmfBuilder& EmfBuilder::raw(std::uint32_t type, const Bytes& body) {
    put32(bytes_, type);
    put32(bytes_, static_cast<std::uint32_t>(8 + body.size()));
    bytes_.insert(bytes_.end(), body.begin(), body.end());
    ++records_;
    return *this;
}

EmfBuilder& EmfBuilder::bytes(const Bytes& data) {
    bytes_.insert(bytes_.end(), data.begin(), data.end());
    ++records_;
    return *this;
}

EmfBuilder& EmfBuilder::record(std::uint32_t type, std::initializer_list<std::int64_t> fields) {
    Bytes body;
    for (const std::int64_t v : fields) {
        put32(body, static_cast<std::uint32_t>(v));
    }
    return raw(type, body);
}

EmfBuilder& EmfBuilder::createPen(std::uint32_t index, std::uint32_t style, int width,
                                  std::uint32_t rgb) {
    return record(38, {index, style, width, 0, colorRef(rgb)});
}

EmfBuilder& EmfBuilder::createBrush(std::uint32_t index, std::uint32_t style, std::uint32_t rgb,
                                    std::uint32_t hatch) {
    return record(39, {index, style, colorRef(rgb), hatch});
}

EmfBuilder& EmfBuilder::select(std::uint32_t index) {
    return record(37, {index});
}

EmfBuilder& EmfBuilder::rectangle(int l, int t, int r, int b) {
    return record(43, {l, t, r, b});
}

EmfBuilder& EmfBuilder::ellipse(int l, int t, int r, int b) {
    return record(42, {l, t, r, b});
}

EmfBuilder& EmfBuilder::moveTo(int x, int y) {
    return record(27, {x, y});
}

EmfBuilder& EmfBuilder::lineTo(int x, int y) {
    return record(54, {x, y});
}

EmfBuilder& EmfBuilder::poly(std::uint32_t type, const std::vector<std::pair<int, int>>& points) {
    const bool sixteen = type >= 85;
    Bytes body(16, 0); // bounds
    put32(body, static_cast<std::uint32_t>(points.size()));
    for (const auto& [x, y] : points) {
        if (sixteen) {
            put16(body, static_cast<std::uint16_t>(x));
            put16(body, static_cast<std::uint16_t>(y));
        } else {
            put32(body, static_cast<std::uint32_t>(x));
            put32(body, static_cast<std::uint32_t>(y));
        }
    }
    padTo4(body);
    return raw(type, body);
}

EmfBuilder& EmfBuilder::polyPolygon(bool sixteen,
                                    const std::vector<std::vector<std::pair<int, int>>>& figures) {
    Bytes body(16, 0);
    std::size_t total = 0;
    for (const auto& f : figures) {
        total += f.size();
    }
    put32(body, static_cast<std::uint32_t>(figures.size()));
    put32(body, static_cast<std::uint32_t>(total));
    for (const auto& f : figures) {
        put32(body, static_cast<std::uint32_t>(f.size()));
    }
    for (const auto& f : figures) {
        for (const auto& [x, y] : f) {
            if (sixteen) {
                put16(body, static_cast<std::uint16_t>(x));
                put16(body, static_cast<std::uint16_t>(y));
            } else {
                put32(body, static_cast<std::uint32_t>(x));
                put32(body, static_cast<std::uint32_t>(y));
            }
        }
    }
    padTo4(body);
    return raw(sixteen ? 91 : 8, body);
}

EmfBuilder& EmfBuilder::setWorldTransform(float m11, float m12, float m21, float m22, float dx,
                                          float dy) {
    Bytes body;
    for (const float v : {m11, m12, m21, m22, dx, dy}) {
        putFloat(body, v);
    }
    return raw(35, body);
}

EmfBuilder& EmfBuilder::font(std::uint32_t index, int height, const std::u16string& face,
                             std::uint8_t charset, int weight) {
    Bytes body;
    put32(body, index);
    put32(body, static_cast<std::uint32_t>(height));
    put32(body, 0); // width
    put32(body, 0); // escapement
    put32(body, 0); // orientation
    put32(body, static_cast<std::uint32_t>(weight));
    body.insert(body.end(), {0, 0, 0, charset, 0, 0, 0, 0});
    for (std::size_t i = 0; i < 32; ++i) {
        put16(body, i < face.size() ? face[i] : 0);
    }
    return raw(82, body);
}

namespace {

// EXTTEXTOUTA/W: bounds, graphics mode, scales, then the EMRTEXT.
Bytes textBody(int x, int y, std::size_t chars, const Bytes& string, const std::vector<int>& dx,
               std::uint32_t options) {
    Bytes body(16, 0);
    put32(body, 1);
    putFloat(body, 0);
    putFloat(body, 0);
    put32(body, static_cast<std::uint32_t>(x));
    put32(body, static_cast<std::uint32_t>(y));
    put32(body, static_cast<std::uint32_t>(chars));
    const std::size_t stringAt = 8 + body.size() + 4 + 4 + 16 + 4; // record offsets
    put32(body, static_cast<std::uint32_t>(stringAt));
    put32(body, options);
    for (int i = 0; i < 4; ++i) {
        put32(body, 0);
    }
    const std::size_t paddedString = (string.size() + 3) / 4 * 4;
    put32(body, dx.empty() ? 0 : static_cast<std::uint32_t>(stringAt + paddedString));
    body.insert(body.end(), string.begin(), string.end());
    padTo4(body);
    for (const int a : dx) {
        put32(body, static_cast<std::uint32_t>(a));
    }
    return body;
}

} // namespace

EmfBuilder& EmfBuilder::textW(int x, int y, const std::u16string& text,
                              const std::vector<int>& advances, std::uint32_t options) {
    Bytes string;
    for (const char16_t c : text) {
        put16(string, c);
    }
    return raw(84, textBody(x, y, text.size(), string, advances, options));
}

EmfBuilder& EmfBuilder::textA(int x, int y, const std::string& bytes,
                              const std::vector<int>& advances) {
    return raw(83, textBody(x, y, bytes.size(), Bytes(bytes.begin(), bytes.end()), advances, 0));
}

EmfBuilder& EmfBuilder::stretchDib(int x, int y, int w, int h, const Dib& dib, std::uint32_t rop) {
    const std::int32_t width = static_cast<std::int32_t>(dib.info[4] | dib.info[5] << 8);
    const std::int32_t height = static_cast<std::int32_t>(dib.info[8] | dib.info[9] << 8);
    Bytes body(16, 0);
    for (const std::int32_t v : {x, y, 0, 0, width, height}) {
        put32(body, static_cast<std::uint32_t>(v));
    }
    const std::uint32_t infoAt = 80;
    const auto infoSize = static_cast<std::uint32_t>(dib.info.size());
    put32(body, infoAt);
    put32(body, infoSize);
    put32(body, infoAt + infoSize);
    put32(body, static_cast<std::uint32_t>(dib.bits.size()));
    put32(body, 0); // DIB_RGB_COLORS
    put32(body, rop);
    put32(body, static_cast<std::uint32_t>(w));
    put32(body, static_cast<std::uint32_t>(h));
    body.insert(body.end(), dib.info.begin(), dib.info.end());
    body.insert(body.end(), dib.bits.begin(), dib.bits.end());
    padTo4(body);
    return raw(81, body);
}

EmfBuilder& EmfBuilder::comment(const Bytes& data) {
    Bytes body;
    put32(body, static_cast<std::uint32_t>(data.size()));
    body.insert(body.end(), data.begin(), data.end());
    padTo4(body);
    return raw(70, body);
}

Bytes EmfBuilder::finish() const {
    Bytes out = bytes_;
    for (const std::uint32_t v : {14u, 20u, 0u, 16u, 20u}) {
        put32(out, v);
    }
    set32(out, 48, static_cast<std::uint32_t>(out.size()));
    set32(out, 52, records_ + 1);
    out[56] = 64;
    return out;
}

// ---------------------------------------------------------------- WMF

WmfBuilder::WmfBuilder() = default;

WmfBuilder::WmfBuilder(std::int16_t left, std::int16_t top, std::int16_t right, std::int16_t bottom,
                       std::uint16_t unitsPerInch) {
    Bytes& p = placeable_;
    put32(p, 0x9AC6CDD7u);
    put16(p, 0);
    for (const std::int16_t v : {left, top, right, bottom}) {
        put16(p, static_cast<std::uint16_t>(v));
    }
    put16(p, unitsPerInch);
    put32(p, 0);
    std::uint16_t sum = 0;
    for (std::size_t i = 0; i < 20; i += 2) {
        sum ^= static_cast<std::uint16_t>(p[i] | p[i + 1] << 8);
    }
    put16(p, sum);
}

WmfBuilder& WmfBuilder::raw(std::uint16_t function, const Bytes& params) {
    Bytes padded = params;
    if (padded.size() % 2) {
        padded.push_back(0);
    }
    const auto words = static_cast<std::uint32_t>(3 + padded.size() / 2);
    put32(records_, words);
    put16(records_, function);
    records_.insert(records_.end(), padded.begin(), padded.end());
    largest_ = std::max(largest_, words);
    return *this;
}

WmfBuilder& WmfBuilder::bytes(const Bytes& data) {
    records_.insert(records_.end(), data.begin(), data.end());
    return *this;
}

WmfBuilder& WmfBuilder::record(std::uint16_t function, std::initializer_list<std::int32_t> params) {
    Bytes body;
    for (const std::int32_t v : params) {
        put16(body, static_cast<std::uint16_t>(v));
    }
    return raw(function, body);
}

WmfBuilder& WmfBuilder::windowOrg(int x, int y) {
    return record(0x020B, {y, x});
}

WmfBuilder& WmfBuilder::windowExt(int x, int y) {
    return record(0x020C, {y, x});
}

WmfBuilder& WmfBuilder::createPen(std::uint16_t style, int width, std::uint32_t rgb) {
    const std::uint32_t c = colorRef(rgb);
    return record(0x02FA, {style, width, 0, static_cast<std::int32_t>(c & 0xFFFF),
                           static_cast<std::int32_t>(c >> 16)});
}

WmfBuilder& WmfBuilder::createBrush(std::uint16_t style, std::uint32_t rgb, std::uint16_t hatch) {
    const std::uint32_t c = colorRef(rgb);
    return record(0x02FC, {style, static_cast<std::int32_t>(c & 0xFFFF),
                           static_cast<std::int32_t>(c >> 16), hatch});
}

WmfBuilder& WmfBuilder::createFont(int height, const std::string& face, std::uint8_t charset) {
    Bytes body;
    for (const int v : {height, 0, 0, 0, 400}) {
        put16(body, static_cast<std::uint16_t>(v));
    }
    body.insert(body.end(), {0, 0, 0, charset, 0, 0, 0, 0});
    Bytes name(face.begin(), face.end());
    name.resize(32, 0);
    body.insert(body.end(), name.begin(), name.end());
    return raw(0x02FB, body);
}

WmfBuilder& WmfBuilder::select(std::uint16_t index) {
    return record(0x012D, {index});
}

WmfBuilder& WmfBuilder::rectangle(int l, int t, int r, int b) {
    return record(0x041B, {b, r, t, l});
}

WmfBuilder& WmfBuilder::textOut(int x, int y, const std::string& bytes) {
    Bytes body;
    put16(body, static_cast<std::uint16_t>(bytes.size()));
    body.insert(body.end(), bytes.begin(), bytes.end());
    if (body.size() % 2) {
        body.push_back(0);
    }
    put16(body, static_cast<std::uint16_t>(y));
    put16(body, static_cast<std::uint16_t>(x));
    return raw(0x0521, body);
}

WmfBuilder& WmfBuilder::stretchDib(int x, int y, int w, int h, const Dib& dib) {
    const int width = dib.info[4] | dib.info[5] << 8;
    const int height = dib.info[8] | dib.info[9] << 8;
    Bytes body;
    put32(body, 0x00CC0020u);
    for (const int v : {0, height, width, 0, 0, h, w, y, x}) {
        put16(body, static_cast<std::uint16_t>(v));
    }
    const Bytes packed = dib.packed();
    body.insert(body.end(), packed.begin(), packed.end());
    return raw(0x0F43, body);
}

Bytes WmfBuilder::finish() const {
    Bytes out = placeable_;
    Bytes header;
    put16(header, 1);
    put16(header, 9);
    put16(header, 0x0300);
    const std::size_t words = (18 + records_.size() + 6) / 2;
    put32(header, static_cast<std::uint32_t>(words));
    put16(header, 16); // objects
    put32(header, largest_);
    put16(header, 0);
    out.insert(out.end(), header.begin(), header.end());
    out.insert(out.end(), records_.begin(), records_.end());
    put32(out, 3);
    put16(out, 0);
    return out;
}

// Metafiles with every record family the reader draws: objects, mapping,
// shapes, paths and clips, text in both encodings, bitmaps and regions.
std::vector<Bytes> sampleMetafiles() {
    const Dib dib = makeDib24(3, 2, [](int x, int y) -> std::uint32_t { return x * 0x40 + y; });
    Bytes region;
    for (const std::uint32_t v :
         {32u, 1u, 2u, 32u, 0u, 0u, 9u, 9u, 0u, 0u, 4u, 4u, 5u, 5u, 9u, 9u}) {
        put32(region, v);
    }
    Bytes clipRegion;
    put32(clipRegion, static_cast<std::uint32_t>(region.size()));
    put32(clipRegion, 1); // RGN_AND
    clipRegion.insert(clipRegion.end(), region.begin(), region.end());
    const Bytes emf = EmfBuilder(60, 40)
                          .createPen(1, 0x2100, 3, 0x102030)
                          .createBrush(2, 2, 0x405060, 3)
                          .select(1)
                          .select(2)
                          .record(17, {8}) // SetMapMode
                          .record(9, {600, 400})
                          .record(11, {60, 40})
                          .record(33, {}) // SaveDC
                          .rectangle(10, 10, 200, 100)
                          .ellipse(100, 100, 300, 300)
                          .record(47, {0, 0, 100, 100, 100, 50, 50, 0})
                          .poly(86, {{0, 0}, {50, 0}, {25, 40}})
                          .poly(85, {{0, 0}, {10, 30}, {40, 30}, {50, 0}})
                          .polyPolygon(true, {{{0, 0}, {9, 0}, {9, 9}}, {{2, 2}, {4, 2}, {4, 4}}})
                          .record(59, {})
                          .moveTo(5, 5)
                          .lineTo(55, 5)
                          .lineTo(30, 35)
                          .record(60, {})
                          .record(67, {1})
                          .raw(75, clipRegion)
                          .font(3, -12, u"ＭＳ ゴシック", 128)
                          .select(3)
                          .textA(5, 5, "\x93\xfa\x96\x7b", {6, 0, 6, 0})
                          .textW(5, 20, u"Text", {5, 5, 5, 5})
                          .setWorldTransform(0.5f, 0.2f, -0.2f, 0.5f, 3, 4)
                          .stretchDib(0, 0, 30, 20, dib)
                          .record(34, {-1}) // RestoreDC
                          .record(30, {0, 0, 300, 200})
                          .stretchDib(10, 10, 20, 20, dib, 0x00660046u)
                          .finish();
    const Bytes placeable =
        WmfBuilder(0, 0, 960, 480, 480)
            .windowExt(960, 480)
            .createPen(0, 2, 0x0000FF)
            .createBrush(0, 0x00FF00)
            .createFont(-40, "\x82\x6c\x82\x72 Gothic", 128)
            .select(0)
            .select(1)
            .select(2)
            .rectangle(10, 10, 500, 300)
            .record(0x0418, {400, 900, 100, 600})
            .record(0x0324, {3, 0, 0, 100, 0, 50, 80})
            .record(0x0538, {2, 3, 3, 0, 0, 9, 0, 9, 9, 2, 2, 4, 2, 4, 4})
            .textOut(20, 20, "\x83\x65\x83\x58\x83\x67")
            .stretchDib(100, 100, 300, 200, dib)
            .record(0x06FF, {0, 6, 0, 0, 30, 1, 1, 0, 0, 100, 100, 2, 0, 100, 0, 100, 2})
            .record(0x012C, {3})
            .record(0x0416, {300, 300, 0, 0})
            .rectangle(0, 0, 960, 480)
            .finish();
    const Bytes plain =
        WmfBuilder().windowOrg(0, 0).windowExt(100, -80).rectangle(10, -10, 90, -70).finish();
    return {emf, placeable, plain};
}

} // namespace harpoly::metafile_testing
