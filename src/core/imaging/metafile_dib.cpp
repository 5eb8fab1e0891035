#include "core/imaging/metafile_dib.h"

#include "core/errors.h"
#include "core/imaging/bmp_decoder.h"
#include "core/imaging/byte_reader.h"
#include "core/imaging/jpeg_decoder.h"
#include "core/imaging/metafile_canvas.h"
#include "core/imaging/png_decode.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace harpoly::metafile {

namespace {

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiBitfields = 3;
constexpr std::uint32_t kBiJpeg = 4;
constexpr std::uint32_t kBiPng = 5;

struct Header {
    std::uint32_t size = 0;
    std::int64_t width = 0;
    std::int64_t height = 0; // signed: negative is top-down
    int bitCount = 0;
    std::uint32_t compression = kBiRgb;
    std::uint32_t colorsUsed = 0;
};

std::optional<Header> readHeader(std::span<const std::uint8_t> info) {
    ByteReader r(info);
    Header h;
    h.size = r.u32(0);
    if (h.size == 12) {
        h.width = r.u16(4);
        h.height = r.u16(6);
        h.bitCount = r.u16(10);
    } else if (h.size >= 40 && h.size <= 124) {
        h.width = r.i32(4);
        h.height = r.i32(8);
        h.bitCount = r.u16(14);
        h.compression = r.u32(16);
        h.colorsUsed = r.u32(32);
    } else {
        return std::nullopt;
    }
    if (!r.ok() || h.width <= 0 || h.height == 0 || h.height == INT32_MIN) {
        return std::nullopt;
    }
    return h;
}

std::size_t colourTableEntries(const Header& h) {
    if (h.bitCount > 8) {
        return 0;
    }
    const std::size_t most = std::size_t{1} << h.bitCount;
    return h.colorsUsed == 0 || h.colorsUsed > most ? most : h.colorsUsed;
}

std::optional<RgbaImage> decodeEmbedded(const Header& h, std::span<const std::uint8_t> bits,
                                        Canvas& canvas) {
    const long long pixels = h.width * (h.height < 0 ? -h.height : h.height);
    if (pixels > kMaxDecodedPixels || !canvas.reservePixels(pixels)) {
        return std::nullopt;
    }
    try {
        if (h.compression == kBiJpeg) {
            return decodeJpegMemory(bits.data(), bits.size()).image;
        }
        return decodePng(bits, kMaxMetafileSide);
    } catch (const Error&) {
        return std::nullopt;
    }
}

// 32-bit pixels with their premultiplied alpha, made straight.
RgbaImage decodeAlpha32(const Header& h, std::span<const std::uint8_t> bits) {
    const int w = static_cast<int>(h.width);
    const int height = static_cast<int>(h.height < 0 ? -h.height : h.height);
    RgbaImage image(w, height, 0);
    for (int row = 0; row < height; ++row) {
        const int y = h.height < 0 ? row : height - 1 - row;
        const std::uint8_t* src = bits.data() + static_cast<std::size_t>(row) * w * 4;
        for (int x = 0; x < w; ++x) {
            const std::uint32_t b = src[4 * x], g = src[4 * x + 1], r = src[4 * x + 2],
                                a = src[4 * x + 3];
            const auto straight = [a](std::uint32_t v) {
                return a == 0 ? 0u : std::min<std::uint32_t>(255, (v * 255 + a / 2) / a);
            };
            image.at(x, y) = a << 24 | straight(r) << 16 | straight(g) << 8 | straight(b);
        }
    }
    return image;
}

} // namespace

std::optional<DibShape> dibShape(std::span<const std::uint8_t> info) {
    const std::optional<Header> h = readHeader(info);
    if (!h || h->width > kMaxMetafileSide * 4LL || std::abs(h->height) > kMaxMetafileSide * 4LL) {
        return std::nullopt;
    }
    return DibShape{static_cast<int>(h->width), static_cast<int>(std::abs(h->height)),
                    h->height < 0};
}

std::optional<std::size_t> packedDibInfoSize(std::span<const std::uint8_t> dib) {
    const std::optional<Header> h = readHeader(dib);
    if (!h) {
        return std::nullopt;
    }
    std::size_t size = h->size;
    if (h->size == 40 && h->compression == kBiBitfields) {
        size += 12; // the three masks follow a plain header
    }
    size += colourTableEntries(*h) * (h->size == 12 ? 3 : 4);
    if (size > dib.size()) {
        return std::nullopt;
    }
    return size;
}

std::optional<RgbaImage> decodeDib(const DibSource& source, Canvas& canvas) {
    std::optional<Header> h = readHeader(source.info);
    if (!h) {
        return std::nullopt;
    }
    if (h->compression == kBiJpeg || h->compression == kBiPng) {
        return decodeEmbedded(*h, source.bits, canvas);
    }
    // The header is copied so that a band of rows can be described as a
    // bitmap of its own.
    std::vector<std::uint8_t> info(source.info.begin(), source.info.end());
    if (source.rows > 0 && h->size >= 40 && source.rows < std::abs(h->height)) {
        h->height = h->height < 0 ? -source.rows : source.rows;
        const auto rows = static_cast<std::uint32_t>(static_cast<std::int32_t>(h->height));
        for (int i = 0; i < 4; ++i) {
            info[8 + i] = static_cast<std::uint8_t>(rows >> (8 * i));
        }
    }
    const long long pixels = h->width * (h->height < 0 ? -h->height : h->height);
    if (pixels > kMaxDecodedPixels) {
        return std::nullopt;
    }
    const std::size_t entries = colourTableEntries(*h);
    if (source.paletteIndexes && entries > 0 && h->size >= 40) {
        // The colour table names entries of the logical palette.
        std::size_t tableAt = h->size;
        if (info.size() < tableAt + 2 * entries) {
            return std::nullopt;
        }
        std::vector<std::uint8_t> table(entries * 4);
        for (std::size_t i = 0; i < entries; ++i) {
            const std::size_t index = info[tableAt + 2 * i] | info[tableAt + 2 * i + 1] << 8;
            Colour c = 0xFF000000u;
            if (source.palette && index < source.palette->size()) {
                c = (*source.palette)[index];
            }
            table[4 * i] = static_cast<std::uint8_t>(c);
            table[4 * i + 1] = static_cast<std::uint8_t>(c >> 8);
            table[4 * i + 2] = static_cast<std::uint8_t>(c >> 16);
        }
        info.resize(tableAt);
        info.insert(info.end(), table.begin(), table.end());
    }
    if (source.alpha && h->bitCount == 32 && h->compression == kBiRgb) {
        const std::size_t need = static_cast<std::size_t>(pixels) * 4;
        if (source.bits.size() < need || !canvas.reservePixels(pixels)) {
            return std::nullopt;
        }
        return decodeAlpha32(*h, source.bits);
    }
    // Reserve before the bitmap reader allocates anything.
    if (!canvas.reservePixels(pixels)) {
        return std::nullopt;
    }
    // As a bitmap file: a 14-byte file header, then the DIB.
    const std::size_t offset = 14 + info.size();
    std::vector<std::uint8_t> file;
    try {
        file.resize(offset + source.bits.size());
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    file[0] = 'B';
    file[1] = 'M';
    const auto put32 = [&file](std::size_t at, std::size_t v) {
        for (int i = 0; i < 4; ++i) {
            file[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
        }
    };
    put32(2, std::min<std::size_t>(file.size(), UINT32_MAX));
    put32(10, offset);
    std::memcpy(file.data() + 14, info.data(), info.size());
    if (!source.bits.empty()) {
        std::memcpy(file.data() + offset, source.bits.data(), source.bits.size());
    }
    try {
        return decodeBmpMemory(file.data(), file.size()).image;
    } catch (const Error&) {
        return std::nullopt;
    }
}

} // namespace harpoly::metafile
