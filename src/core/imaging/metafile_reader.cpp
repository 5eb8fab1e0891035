#include "core/imaging/metafile_reader.h"

#include "core/errors.h"
#include "core/imaging/byte_reader.h"
#include "core/imaging/metafile_canvas.h"
#include "core/imaging/metafile_players.h"
#include "core/platform/whole_file.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

namespace harpoly {

using metafile::Canvas;
using metafile::Device;
using metafile::DPoint;

namespace {

constexpr std::uint32_t kEmfSignature = 0x464D4520; // " EMF"
constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr std::size_t kPlaceableSize = 22;
// Pixels per inch at which a placeable WMF is shown at its own size.
constexpr double kScreenDpi = 96;

[[noreturn]] void invalid(const char* why) {
    raise(kind::InvalidGraphic, why);
}

int pictureSide(double pixels) {
    const double side = std::round(std::abs(pixels));
    if (!std::isfinite(side) || side < 1 || side > kMaxMetafileSide) {
        invalid("metafile size out of range");
    }
    return static_cast<int>(side);
}

bool isWmfHeader(std::span<const std::uint8_t> data) {
    ByteReader r(data);
    const std::uint16_t type = r.u16(0);
    const std::uint16_t headerWords = r.u16(2);
    const std::uint16_t version = r.u16(4);
    return r.ok() && (type == 1 || type == 2) && headerWords == 9 &&
           (version == 0x0100 || version == 0x0300);
}

Metafile readEmf(std::span<const std::uint8_t> data, const MetafileLimits& limits) {
    ByteReader r(data);
    const std::uint32_t headerSize = r.u32(4);
    if (headerSize < 88 || headerSize > data.size()) {
        invalid("EMF header cut short");
    }
    const double bl = r.i32(8), bt = r.i32(12), br = r.i32(16), bb = r.i32(20);
    const double fl = r.i32(24), ft = r.i32(28), fr = r.i32(32), fb = r.i32(36);
    const double devX = r.i32(72), devY = r.i32(76);
    double mmX = r.i32(80), mmY = r.i32(84);
    if (headerSize >= 108 && r.i32(100) > 0 && r.i32(104) > 0) {
        // The reference device's size in micrometres is the finer figure.
        mmX = r.i32(100) / 1000.0;
        mmY = r.i32(104) / 1000.0;
    }
    Device device;
    const bool knownDevice = devX > 0 && devY > 0 && mmX > 0 && mmY > 0;
    if (knownDevice) {
        device.pxPerMmX = devX / mmX;
        device.pxPerMmY = devY / mmY;
    }
    // The frame (hundredths of a millimetre) in the reference device's
    // pixels; without a usable frame, the bounds (inclusive, in pixels).
    double left, top, right, bottom;
    if (knownDevice && fr != fl && fb != ft) {
        left = fl / 100 * device.pxPerMmX;
        top = ft / 100 * device.pxPerMmY;
        right = fr / 100 * device.pxPerMmX;
        bottom = fb / 100 * device.pxPerMmY;
    } else if (br >= bl && bb >= bt) {
        left = bl;
        top = bt;
        right = br + 1;
        bottom = bb + 1;
    } else {
        invalid("EMF without size");
    }
    Metafile picture;
    picture.format = MetafileFormat::Emf;
    picture.width = pictureSide(right - left);
    picture.height = pictureSide(bottom - top);
    // The frame fills the picture (mirrored if the frame is).
    const double sx = picture.width / (right - left);
    const double sy = picture.height / (bottom - top);
    device.toPicture = {sx, 0, 0, sy, -left * sx, -top * sy};
    Canvas canvas(picture.drawing, limits, device);
    const bool whole = metafile::playEmf(data, canvas, limits.objects);
    picture.cut = !whole || canvas.full();
    return picture;
}

// Plays a WMF with its window mapped onto the picture's box.
bool playWmfInto(Metafile& picture, std::span<const std::uint8_t> wmf, DPoint windowOrg,
                 DPoint windowExt, const MetafileLimits& limits) {
    Device device;
    device.wmf = true;
    device.pxPerMmX = device.pxPerMmY = kScreenDpi / 25.4;
    Canvas canvas(picture.drawing, limits, device);
    canvas.setWindowOrg(windowOrg.x, windowOrg.y);
    canvas.setWindowExt(windowExt.x, windowExt.y);
    canvas.setViewportExt(picture.width, picture.height);
    const bool whole = metafile::playWmf(wmf, canvas, limits.objects);
    return whole && !canvas.full();
}

Metafile readPlaceableWmf(std::span<const std::uint8_t> data, const MetafileLimits& limits) {
    ByteReader r(data);
    const auto word = [&r](std::size_t at) { return double(static_cast<std::int16_t>(r.u16(at))); };
    const double left = word(6), top = word(8), right = word(10), bottom = word(12);
    const std::uint16_t inch = r.u16(14);
    if (!r.ok() || data.size() < kPlaceableSize || inch == 0) {
        invalid("placeable header cut short");
    }
    const std::span<const std::uint8_t> wmf = data.subspan(kPlaceableSize);
    if (!isWmfHeader(wmf)) {
        invalid("no WMF header after the placeable header");
    }
    Metafile picture;
    picture.format = MetafileFormat::PlaceableWmf;
    picture.width = pictureSide((right - left) * kScreenDpi / inch);
    picture.height = pictureSide((bottom - top) * kScreenDpi / inch);
    picture.cut = !playWmfInto(picture, wmf, {left, top}, {right - left, bottom - top}, limits);
    return picture;
}

// The extent of what a drawing covers: shape points, text origins and bitmap
// corners.
struct Extent {
    double left = std::numeric_limits<double>::max();
    double top = std::numeric_limits<double>::max();
    double right = std::numeric_limits<double>::lowest();
    double bottom = std::numeric_limits<double>::lowest();
    void add(metafile::Point p) {
        left = std::min<double>(left, p.x);
        top = std::min<double>(top, p.y);
        right = std::max<double>(right, p.x);
        bottom = std::max<double>(bottom, p.y);
    }
    bool empty() const { return right < left; }
};

Extent drawnExtent(const metafile::Drawing& d) {
    Extent e;
    for (const metafile::Shape& s : d.shapes) {
        for (std::uint32_t i = 0; i < s.path.pointCount; ++i) {
            e.add(d.points[s.path.firstPoint + i]);
        }
    }
    for (const metafile::Text& t : d.texts) {
        e.add(t.origin);
    }
    for (const metafile::Bitmap& b : d.bitmaps) {
        e.add(b.origin);
        e.add({b.origin.x + b.xAxis.x + b.yAxis.x, b.origin.y + b.xAxis.y + b.yAxis.y});
    }
    return e;
}

Metafile readPlainWmf(std::span<const std::uint8_t> data, const MetafileLimits& limits) {
    Metafile picture;
    picture.format = MetafileFormat::Wmf;
    if (const std::optional<DPoint> ext = metafile::wmfWindowExtent(data)) {
        picture.width = pictureSide(ext->x);
        picture.height = pictureSide(ext->y);
        picture.cut = !playWmfInto(picture, data, {0, 0}, *ext, limits);
        return picture;
    }
    // No window extent: logical units are pixels, and the picture is as large
    // as what it draws. A first run finds that extent.
    Metafile probe;
    probe.width = probe.height = 1;
    playWmfInto(probe, data, {0, 0}, {1, 1}, limits);
    const Extent e = drawnExtent(probe.drawing);
    if (e.empty()) {
        invalid("WMF without size");
    }
    picture.width = pictureSide(std::max(1.0, std::ceil(e.right - e.left)));
    picture.height = pictureSide(std::max(1.0, std::ceil(e.bottom - e.top)));
    picture.cut = !playWmfInto(picture, data, {e.left, e.top},
                               {double(picture.width), double(picture.height)}, limits);
    return picture;
}

} // namespace

Metafile readMetafile(std::span<const std::uint8_t> data, const MetafileLimits& limits) {
    ByteReader r(data);
    try {
        if (r.u32(0) == 1 && r.u32(40) == kEmfSignature) {
            return readEmf(data, limits);
        }
        if (r.u32(0) == kPlaceableKey) {
            return readPlaceableWmf(data, limits);
        }
        if (isWmfHeader(data)) {
            return readPlainWmf(data, limits);
        }
    } catch (const std::bad_alloc&) {
        raise(kind::OutOfMemory, "no memory for the metafile");
    }
    invalid("not a metafile");
}

Metafile readMetafileFile(const std::string& path, const MetafileLimits& limits) {
    const FileBytes bytes = readFileHead(path, limits.fileBytes);
    Metafile picture = readMetafile({bytes.data.get(), bytes.size}, limits);
    picture.cut = picture.cut || bytes.shortened();
    return picture;
}

bool isMetafileExtension(std::string_view extLower) {
    return extLower == ".wmf" || extLower == ".emf";
}

} // namespace harpoly
