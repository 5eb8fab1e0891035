#include "core/imaging/bmp_decoder.h"

#include "core/errors.h"
#include "core/imaging/jpeg_decoder.h"
#include "core/platform/whole_file.h"

#include <array>
#include <bit>
#include <climits>
#include <new>

namespace harpoly {

namespace {

// A bitmap within the pixel budget is never larger than this.
constexpr std::size_t kMaxBmpFile = 512u << 20;

enum Compression : std::uint32_t {
    kRgb = 0,
    kRle8 = 1,
    kRle4 = 2,
    kBitfields = 3,
    kAlphaBitfields = 6,
};

[[noreturn]] void invalid(const char* why) {
    raise(kind::InvalidGraphic, why);
}

class Reader {
public:
    Reader(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}
    std::uint16_t u16(std::size_t at) const {
        need(at, 2);
        return static_cast<std::uint16_t>(data_[at] | data_[at + 1] << 8);
    }
    std::uint32_t u32(std::size_t at) const {
        need(at, 4);
        return static_cast<std::uint32_t>(data_[at]) | data_[at + 1] << 8 | data_[at + 2] << 16 |
               static_cast<std::uint32_t>(data_[at + 3]) << 24;
    }
    std::int32_t i32(std::size_t at) const { return static_cast<std::int32_t>(u32(at)); }
    void need(std::size_t at, std::size_t n) const {
        if (at > size_ || n > size_ - at) {
            invalid("bitmap data cut short");
        }
    }

private:
    const unsigned char* data_;
    std::size_t size_;
};

// One colour channel described by a bit mask, scaled to 0..255.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t max = 0;

    explicit Channel(std::uint32_t m = 0) : mask(m) {
        if (m != 0) {
            shift = std::countr_zero(m);
            max = m >> shift;
        }
    }
    std::uint32_t operator()(std::uint32_t pixel) const {
        if (max == 0) {
            return 0;
        }
        const std::uint64_t v = (pixel & mask) >> shift;
        return static_cast<std::uint32_t>((v * 255 + max / 2) / max);
    }
};

struct Header {
    std::int64_t width = 0;
    std::int64_t height = 0; // absolute value
    bool topDown = false;
    int bitCount = 0;
    std::uint32_t compression = kRgb;
    std::uint32_t masks[4] = {}; // red, green, blue, alpha
    bool hasAlphaMask = false;
    std::vector<std::uint32_t> palette;
    std::size_t pixelOffset = 0;
};

Header readHeader(const unsigned char* data, std::size_t size) {
    const Reader r(data, size);
    if (size < 26 || data[0] != 'B' || data[1] != 'M') {
        invalid("not a bitmap");
    }
    Header h;
    h.pixelOffset = r.u32(10);
    const std::uint32_t infoSize = r.u32(14);
    std::size_t paletteAt = 14 + static_cast<std::size_t>(infoSize);
    int paletteEntrySize = 4;
    std::uint32_t colorsUsed = 0;
    if (infoSize == 12) { // OS/2 core header
        h.width = r.u16(18);
        h.height = r.u16(20);
        if (r.u16(22) != 1) {
            invalid("bad plane count");
        }
        h.bitCount = r.u16(24);
        paletteEntrySize = 3;
    } else if (infoSize == 40 || infoSize == 52 || infoSize == 56 || infoSize == 64 ||
               infoSize == 108 || infoSize == 124) {
        h.width = r.i32(18);
        const std::int32_t height = r.i32(22);
        if (height == INT32_MIN) {
            invalid("bad height");
        }
        h.topDown = height < 0;
        h.height = height < 0 ? -static_cast<std::int64_t>(height) : height;
        if (r.u16(26) != 1) {
            invalid("bad plane count");
        }
        h.bitCount = r.u16(28);
        h.compression = r.u32(30);
        colorsUsed = r.u32(46);
        if (infoSize == 64 && h.compression == 3) {
            invalid("OS/2 Huffman bitmaps are not supported");
        }
        if (h.compression == kBitfields || h.compression == kAlphaBitfields) {
            // Version 4 and 5 headers hold the masks; a plain header is followed by them.
            const std::size_t count = h.compression == kAlphaBitfields ? 4 : 3;
            const std::size_t at = 54;
            for (std::size_t i = 0; i < count; ++i) {
                h.masks[i] = r.u32(at + 4 * i);
            }
            if (infoSize >= 56) {
                h.masks[3] = r.u32(at + 12);
            }
            if (infoSize == 40) {
                paletteAt += 4 * count;
            }
            h.hasAlphaMask = h.masks[3] != 0;
        } else if (infoSize >= 108) {
            // A version 4/5 header names an alpha mask also for plain 32-bit data.
            h.hasAlphaMask = h.compression == kRgb && h.bitCount == 32 && r.u32(66) != 0;
            if (h.hasAlphaMask) {
                h.masks[0] = 0x00FF0000u;
                h.masks[1] = 0x0000FF00u;
                h.masks[2] = 0x000000FFu;
                h.masks[3] = r.u32(66);
            }
        }
    } else {
        invalid("unknown bitmap header");
    }

    if (h.width <= 0 || h.height <= 0) {
        invalid("bad bitmap size");
    }
    if (h.width * h.height > kMaxDecodedPixels) {
        invalid("bitmap too large");
    }
    switch (h.bitCount) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        break;
    default:
        invalid("bad bit count");
    }
    const bool ok = (h.compression == kRgb) || (h.compression == kRle8 && h.bitCount == 8) ||
                    (h.compression == kRle4 && h.bitCount == 4) ||
                    ((h.compression == kBitfields || h.compression == kAlphaBitfields) &&
                     (h.bitCount == 16 || h.bitCount == 32));
    if (!ok) {
        invalid("unsupported compression");
    }
    if ((h.compression == kRle8 || h.compression == kRle4) && h.topDown) {
        invalid("top-down bitmaps cannot be compressed");
    }

    if (h.bitCount <= 8) {
        const std::uint32_t maxColors = 1u << h.bitCount;
        std::uint32_t count = colorsUsed == 0 || colorsUsed > maxColors ? maxColors : colorsUsed;
        // Some writers leave the palette short; take what lies before the pixels.
        const std::size_t room =
            h.pixelOffset > paletteAt ? (h.pixelOffset - paletteAt) / paletteEntrySize : 0;
        if (room < count) {
            count = static_cast<std::uint32_t>(room);
        }
        if (count == 0) {
            invalid("bitmap without palette");
        }
        r.need(paletteAt, static_cast<std::size_t>(count) * paletteEntrySize);
        h.palette.assign(maxColors, 0xFF000000u);
        for (std::uint32_t i = 0; i < count; ++i) {
            const unsigned char* p =
                data + paletteAt + static_cast<std::size_t>(i) * paletteEntrySize;
            h.palette[i] = 0xFF000000u | p[2] << 16 | p[1] << 8 | p[0];
        }
    }
    if (h.pixelOffset >= size) {
        invalid("no pixel data");
    }
    return h;
}

void decodeUncompressed(const Header& h, const unsigned char* data, RgbaImage& image) {
    const std::size_t rowBytes = ((static_cast<std::size_t>(h.width) * h.bitCount + 31) / 32) * 4;
    std::uint32_t masks[4] = {h.masks[0], h.masks[1], h.masks[2], h.masks[3]};
    if (h.compression == kRgb && h.bitCount == 16) {
        masks[0] = 0x7C00;
        masks[1] = 0x03E0;
        masks[2] = 0x001F;
    }
    const Channel red(masks[0]), green(masks[1]), blue(masks[2]), alpha(masks[3]);
    const bool useAlpha = h.hasAlphaMask;
    bool anyAlpha = false;
    // A pixel of bit fields, opaque unless the alpha mask counts.
    const auto fromMasks = [&](std::uint32_t p) {
        std::uint32_t argb = 0xFF000000u | red(p) << 16 | green(p) << 8 | blue(p);
        if (useAlpha) {
            const std::uint32_t a = alpha(p);
            anyAlpha |= a != 0;
            argb = (argb & 0x00FFFFFFu) | a << 24;
        }
        return argb;
    };

    const int w = static_cast<int>(h.width);
    for (int row = 0; row < image.height; ++row) {
        const unsigned char* src = data + h.pixelOffset + static_cast<std::size_t>(row) * rowBytes;
        const int y = h.topDown ? row : image.height - 1 - row;
        std::uint32_t* out = image.pixels.data() + static_cast<std::size_t>(y) * w;
        switch (h.bitCount) {
        case 1:
        case 4:
        case 8: {
            const int bits = h.bitCount;
            const int perByte = 8 / bits;
            const unsigned mask = (1u << bits) - 1;
            for (int x = 0; x < w; ++x) {
                const unsigned byte = src[x / perByte];
                const int shift = 8 - bits * (x % perByte + 1);
                out[x] = h.palette[(byte >> shift) & mask];
            }
            break;
        }
        case 16:
            for (int x = 0; x < w; ++x) {
                const std::uint32_t p = src[2 * x] | src[2 * x + 1] << 8;
                out[x] = fromMasks(p);
            }
            break;
        case 24:
            for (int x = 0; x < w; ++x) {
                const unsigned char* p = src + 3 * x;
                out[x] = 0xFF000000u | p[2] << 16 | p[1] << 8 | p[0];
            }
            break;
        case 32:
            for (int x = 0; x < w; ++x) {
                const unsigned char* q = src + 4 * x;
                const std::uint32_t p =
                    q[0] | q[1] << 8 | q[2] << 16 | static_cast<std::uint32_t>(q[3]) << 24;
                if (h.compression == kRgb && !useAlpha) {
                    out[x] = 0xFF000000u | (p & 0x00FFFFFFu);
                } else {
                    out[x] = fromMasks(p);
                }
            }
            break;
        }
    }
    if (useAlpha && !anyAlpha) {
        // An alpha channel that is zero everywhere is unused, not transparent.
        for (std::uint32_t& p : image.pixels) {
            p |= 0xFF000000u;
        }
    }
}

void decodeRle(const Header& h, const unsigned char* data, std::size_t size, RgbaImage& image) {
    const bool four = h.compression == kRle4;
    // Pixels not written by the data (skipped by a delta or an early end) are
    // shown in the first palette colour, as Windows does.
    std::fill(image.pixels.begin(), image.pixels.end(), h.palette[0]);
    const std::int64_t w = image.width;
    const std::int64_t height = image.height;
    std::int64_t x = 0;
    std::int64_t row = 0; // from the bottom
    std::size_t i = h.pixelOffset;
    const auto put = [&](unsigned index) {
        if (x < w && row < height) {
            image.pixels[static_cast<std::size_t>((height - 1 - row) * w + x)] = h.palette[index];
        }
        ++x;
    };
    while (i + 1 < size && row < height) {
        const unsigned count = data[i];
        const unsigned value = data[i + 1];
        i += 2;
        if (count > 0) {
            for (unsigned k = 0; k < count; ++k) {
                put(four ? (k % 2 == 0 ? value >> 4 : value & 0x0F) : value);
            }
            continue;
        }
        if (value == 0) { // end of line
            x = 0;
            ++row;
        } else if (value == 1) { // end of bitmap
            break;
        } else if (value == 2) { // delta
            if (i + 1 >= size) {
                break;
            }
            x += data[i];
            row += data[i + 1];
            i += 2;
        } else { // absolute run of `value` pixels, padded to a 16-bit boundary
            const std::size_t bytes = four ? (value + 1) / 2 : value;
            if (bytes > size - i) {
                invalid("bitmap data cut short");
            }
            for (unsigned k = 0; k < value; ++k) {
                const unsigned byte = data[i + (four ? k / 2 : k)];
                put(four ? (k % 2 == 0 ? byte >> 4 : byte & 0x0F) : byte);
            }
            i += bytes + (bytes & 1);
        }
    }
}

} // namespace

DecodedPicture decodeBmpMemory(const unsigned char* data, std::size_t size) {
    const Header h = readHeader(data, size);
    const bool rle = h.compression == kRle8 || h.compression == kRle4;
    if (!rle) {
        // Checked against the file size before the picture is allocated; the
        // last row needs only its pixels, not its padding.
        const std::size_t bits = static_cast<std::size_t>(h.width) * h.bitCount;
        const std::size_t rowBytes = ((bits + 31) / 32) * 4;
        const std::size_t lastRow = (bits + 7) / 8;
        if (rowBytes * (static_cast<std::size_t>(h.height) - 1) + lastRow > size - h.pixelOffset) {
            invalid("bitmap data cut short");
        }
    }
    DecodedPicture pic;
    pic.width = static_cast<int>(h.width);
    pic.height = static_cast<int>(h.height);
    try {
        pic.image = RgbaImage(pic.width, pic.height);
    } catch (const std::bad_alloc&) {
        raise(kind::OutOfMemory, "no memory for the bitmap");
    }
    if (rle) {
        decodeRle(h, data, size, pic.image);
    } else {
        decodeUncompressed(h, data, pic.image);
    }
    return pic;
}

DecodedPicture decodeBmpFile(const std::string& path) {
    const FileBytes bytes = readFileHead(path, kMaxBmpFile);
    return decodeBmpMemory(bytes.data.get(), bytes.size);
}

} // namespace harpoly
