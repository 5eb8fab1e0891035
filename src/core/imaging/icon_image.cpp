#include "core/imaging/icon_image.h"

#include "core/errors.h"
#include "core/imaging/byte_reader.h"
#include "core/imaging/png_decode.h"

#include <algorithm>

namespace harpoly {

namespace {

constexpr std::uint32_t kBiRgb = 0;

std::size_t rowBytes(int width, int bitsPerPixel) {
    return (static_cast<std::size_t>(width) * bitsPerPixel + 31) / 32 * 4;
}

IconImage fromPng(std::span<const std::uint8_t> data) {
    RgbaImage png = decodePng(data, kMaxIconSide);
    IconImage icon;
    icon.width = png.width;
    icon.height = png.height;
    icon.hasAlpha = true;
    icon.color = std::move(png.pixels);
    icon.mask.resize(icon.color.size());
    for (std::size_t i = 0; i < icon.color.size(); ++i) {
        icon.mask[i] = (icon.color[i] >> 24) < 128 ? 1 : 0;
    }
    return icon;
}

IconImage fromDib(std::span<const std::uint8_t> data) {
    ByteReader r(data);
    const std::uint32_t headerSize = r.u32(0);
    const std::int32_t width = r.i32(4);
    const std::int32_t doubledHeight = r.i32(8);
    const int bits = r.u16(14);
    const std::uint32_t compression = r.u32(16);
    const std::uint32_t colorsUsed = r.u32(32);
    if (!r.ok() || headerSize < 40 || headerSize > data.size()) {
        raise(kind::InvalidGraphic);
    }
    // The header height covers the colour rows and the mask rows.
    const int height = doubledHeight / 2;
    if (width <= 0 || height <= 0 || width > kMaxIconSide || height > kMaxIconSide) {
        raise(kind::InvalidGraphic);
    }
    if (compression != kBiRgb ||
        (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)) {
        raise(kind::InvalidGraphic);
    }

    std::size_t offset = headerSize;
    std::vector<std::uint32_t> palette;
    if (bits <= 8) {
        const std::uint32_t maxColors = 1u << bits;
        const std::uint32_t count = colorsUsed == 0 ? maxColors : std::min(colorsUsed, maxColors);
        if (!r.has(offset, count * 4)) {
            raise(kind::InvalidGraphic);
        }
        palette.resize(maxColors, 0xFF000000u);
        for (std::uint32_t i = 0; i < count; ++i) {
            palette[i] = 0xFF000000u | (r.u32(offset + i * 4) & 0x00FFFFFFu);
        }
        offset += count * 4;
    }

    const std::size_t colorStride = rowBytes(width, bits);
    const std::size_t maskStride = rowBytes(width, 1);
    std::span<const std::uint8_t> colorRows = r.slice(offset, colorStride * height);
    if (colorRows.empty()) {
        raise(kind::InvalidGraphic);
    }
    std::span<const std::uint8_t> maskRows =
        r.slice(offset + colorStride * height, maskStride * height);

    IconImage icon;
    icon.width = width;
    icon.height = height;
    icon.color.resize(static_cast<std::size_t>(width) * height);
    icon.mask.assign(icon.color.size(), 0);
    bool anyAlpha = false;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = colorRows.data() + (height - 1 - y) * colorStride;
        std::uint32_t* out = icon.color.data() + static_cast<std::size_t>(y) * width;
        for (int x = 0; x < width; ++x) {
            std::uint32_t c = 0;
            switch (bits) {
            case 1:
                c = palette[(row[x / 8] >> (7 - x % 8)) & 1];
                break;
            case 4:
                c = palette[(row[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F];
                break;
            case 8:
                c = palette[row[x]];
                break;
            case 24: {
                const std::uint8_t* p = row + x * 3;
                c = 0xFF000000u | static_cast<std::uint32_t>(p[2]) << 16 |
                    static_cast<std::uint32_t>(p[1]) << 8 | p[0];
                break;
            }
            default: {
                const std::uint8_t* p = row + x * 4;
                c = static_cast<std::uint32_t>(p[3]) << 24 |
                    static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[1]) << 8 |
                    p[0];
                anyAlpha = anyAlpha || p[3] != 0;
                break;
            }
            }
            out[x] = c;
        }
    }
    if (bits == 32) {
        icon.hasAlpha = anyAlpha;
        if (!anyAlpha) {
            for (auto& c : icon.color) {
                c |= 0xFF000000u;
            }
        }
    }
    if (maskRows.empty()) {
        // Only an alpha image can do without its mask; the mask is then made
        // from the alpha channel.
        if (!icon.hasAlpha) {
            raise(kind::InvalidGraphic);
        }
        for (std::size_t i = 0; i < icon.color.size(); ++i) {
            icon.mask[i] = (icon.color[i] >> 24) < 128 ? 1 : 0;
        }
        return icon;
    }
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = maskRows.data() + (height - 1 - y) * maskStride;
        std::uint8_t* out = icon.mask.data() + static_cast<std::size_t>(y) * width;
        for (int x = 0; x < width; ++x) {
            out[x] = (row[x / 8] >> (7 - x % 8)) & 1;
        }
    }
    return icon;
}

std::uint8_t blend(std::uint32_t color, int shift, std::uint32_t alpha) {
    const std::uint32_t c = (color >> shift) & 0xFF;
    return static_cast<std::uint8_t>((c * alpha + 255 * (255 - alpha) + 127) / 255);
}

} // namespace

IconImage decodeIconImage(std::span<const std::uint8_t> data) {
    if (isPngSignature(data)) {
        return fromPng(data);
    }
    return fromDib(data);
}

int iconImageDepth(std::span<const std::uint8_t> data) {
    if (isPngSignature(data)) {
        return 32;
    }
    ByteReader r(data);
    const int planes = r.u16(12);
    const int bits = r.u16(14);
    if (!r.ok() || r.u32(0) < 40) {
        return 0;
    }
    return static_cast<int>(std::min<long>(long{std::max(planes, 1)} * bits, 1024));
}

IconImage scaleIconImage(const IconImage& image, int width, int height) {
    if (image.width == width && image.height == height) {
        return image;
    }
    IconImage out;
    out.width = width;
    out.height = height;
    out.hasAlpha = image.hasAlpha;
    out.color.resize(static_cast<std::size_t>(width) * height);
    out.mask.resize(out.color.size());
    for (int y = 0; y < height; ++y) {
        const int sy = static_cast<int>(static_cast<long long>(y) * image.height / height);
        for (int x = 0; x < width; ++x) {
            const int sx = static_cast<int>(static_cast<long long>(x) * image.width / width);
            const std::size_t from = static_cast<std::size_t>(sy) * image.width + sx;
            const std::size_t to = static_cast<std::size_t>(y) * width + x;
            out.color[to] = image.color[from];
            out.mask[to] = image.mask[from];
        }
    }
    return out;
}

RgbaImage drawIconOnWhite(const IconImage& image) {
    RgbaImage out(image.width, image.height, 0xFFFFFFFFu);
    for (std::size_t i = 0; i < out.pixels.size(); ++i) {
        const std::uint32_t c = image.color[i];
        if (image.hasAlpha) {
            const std::uint32_t a = c >> 24;
            out.pixels[i] = 0xFF000000u | static_cast<std::uint32_t>(blend(c, 16, a)) << 16 |
                            static_cast<std::uint32_t>(blend(c, 8, a)) << 8 | blend(c, 0, a);
        } else {
            // Screen = (white AND mask) XOR colour.
            const std::uint32_t under = image.mask[i] ? 0x00FFFFFFu : 0u;
            out.pixels[i] = 0xFF000000u | ((under ^ c) & 0x00FFFFFFu);
        }
    }
    return out;
}

} // namespace harpoly
