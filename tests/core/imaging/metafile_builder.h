#pragma once

// Metafiles written byte by byte for the tests: EMF and WMF (plain or
// placeable) records put together from their fields, and small DIBs.

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace harpoly::metafile_testing {

using Bytes = std::vector<std::uint8_t>;

void put16(Bytes& out, std::uint32_t v);
void put32(Bytes& out, std::uint32_t v);
void putFloat(Bytes& out, float v);

// COLORREF 0x00BBGGRR from 0xRRGGBB.
std::uint32_t colorRef(std::uint32_t rgb);

// A bottom-up 24-bit DIB: BITMAPINFOHEADER and rows; pixel (x, y), y from the
// top, is colour(x, y) as 0xRRGGBB.
struct Dib {
    Bytes info;
    Bytes bits;
    Bytes packed() const; // info followed by bits, as WMF records hold it
};
Dib makeDib24(int width, int height, const std::function<std::uint32_t(int x, int y)>& colour);

// An EMF. The reference device is 1000 x 1000 pixels on 250 x 250 mm (four
// pixels to the millimetre); the picture's frame is given in pixels of it.
class EmfBuilder {
public:
    EmfBuilder(int widthPx, int heightPx);
    // A header of the caller's own: frame in hundredths of a millimetre,
    // bounds in pixels, the device in pixels and millimetres, and (when not
    // zero) in micrometres.
    struct Header {
        std::int32_t bounds[4] = {0, 0, 0, 0};
        std::int32_t frame[4] = {0, 0, 0, 0};
        std::int32_t device[2] = {1000, 1000};
        std::int32_t millimetres[2] = {250, 250};
        std::int32_t micrometres[2] = {0, 0};
    };
    explicit EmfBuilder(const Header& header);

    // A record of 32-bit fields.
    EmfBuilder& record(std::uint32_t type, std::initializer_list<std::int64_t> fields);
    // A record whose body (after type and size) the caller made.
    EmfBuilder& raw(std::uint32_t type, const Bytes& body);
    // Bytes as they are: a record with a size of the caller's choice.
    EmfBuilder& bytes(const Bytes& data);

    EmfBuilder& createPen(std::uint32_t index, std::uint32_t style, int width, std::uint32_t rgb);
    EmfBuilder& createBrush(std::uint32_t index, std::uint32_t style, std::uint32_t rgb,
                            std::uint32_t hatch = 0);
    EmfBuilder& select(std::uint32_t index);
    EmfBuilder& rectangle(int l, int t, int r, int b);
    EmfBuilder& ellipse(int l, int t, int r, int b);
    EmfBuilder& moveTo(int x, int y);
    EmfBuilder& lineTo(int x, int y);
    // Types 2 (POLYBEZIER), 3 (POLYGON), 4 (POLYLINE) and their 16-bit forms 85-87.
    EmfBuilder& poly(std::uint32_t type, const std::vector<std::pair<int, int>>& points);
    // POLYPOLYGON16 (91) or POLYPOLYGON (8).
    EmfBuilder& polyPolygon(bool sixteen,
                            const std::vector<std::vector<std::pair<int, int>>>& figures);
    EmfBuilder& setWorldTransform(float m11, float m12, float m21, float m22, float dx, float dy);
    EmfBuilder& font(std::uint32_t index, int height, const std::u16string& face,
                     std::uint8_t charset = 0, int weight = 400);
    // EXTTEXTOUTW; `advances` one per unit, or empty.
    EmfBuilder& textW(int x, int y, const std::u16string& text,
                      const std::vector<int>& advances = {}, std::uint32_t options = 0);
    // EXTTEXTOUTA; bytes in the font's character set.
    EmfBuilder& textA(int x, int y, const std::string& bytes,
                      const std::vector<int>& advances = {});
    // STRETCHDIBITS of the whole DIB onto (x, y, w, h).
    EmfBuilder& stretchDib(int x, int y, int w, int h, const Dib& dib,
                           std::uint32_t rop = 0x00CC0020u);
    // A comment record holding `data`.
    EmfBuilder& comment(const Bytes& data);

    // Ends with EMR_EOF and fills in the header's totals.
    Bytes finish() const;

private:
    Bytes bytes_;
    std::uint32_t records_ = 1;
};

// A WMF; placeable when a box is given.
class WmfBuilder {
public:
    WmfBuilder(); // plain
    WmfBuilder(std::int16_t left, std::int16_t top, std::int16_t right, std::int16_t bottom,
               std::uint16_t unitsPerInch);

    // A record of 16-bit parameters, in the order the record stores them.
    WmfBuilder& record(std::uint16_t function, std::initializer_list<std::int32_t> params);
    WmfBuilder& raw(std::uint16_t function, const Bytes& params);
    WmfBuilder& bytes(const Bytes& data);

    WmfBuilder& windowOrg(int x, int y);
    WmfBuilder& windowExt(int x, int y);
    WmfBuilder& createPen(std::uint16_t style, int width, std::uint32_t rgb);
    WmfBuilder& createBrush(std::uint16_t style, std::uint32_t rgb, std::uint16_t hatch = 0);
    WmfBuilder& createFont(int height, const std::string& face, std::uint8_t charset);
    WmfBuilder& select(std::uint16_t index);
    WmfBuilder& rectangle(int l, int t, int r, int b);
    WmfBuilder& textOut(int x, int y, const std::string& bytes);
    WmfBuilder& stretchDib(int x, int y, int w, int h, const Dib& dib);

    Bytes finish() const;

private:
    Bytes placeable_;
    Bytes records_;
    std::uint32_t largest_ = 3;
};

// Metafiles with every record family the reader draws: objects, mapping,
// shapes, paths and clips, text in both encodings, bitmaps and regions. An
// EMF, a placeable WMF and a plain WMF.
std::vector<Bytes> sampleMetafiles();

} // namespace harpoly::metafile_testing
