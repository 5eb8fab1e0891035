#include "core/imaging/bmp_decoder.h"

#include "core/errors.h"
#include "core/platform/byte_source.h"

#include <algorithm>
#include <array>
#include <bit>
#include <climits>
#include <cmath>
#include <new>

namespace harpoly {

namespace {

// The headers, masks included, lie within the first bytes of the file.
constexpr std::size_t kHeaderBytes = 14 + 124 + 16;
// Uncompressed pixel data up to this size is read in one go; larger data,
// and pictures decoded at a reduced scale, row by row.
constexpr std::size_t kWholeReadLimit = 64u << 20;
// Run-length data is read in pieces of this size.
constexpr std::size_t kRleChunk = 1u << 20;

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

Header readHeader(ByteSource& source) {
    const std::uint64_t size = source.size();
    const std::vector<std::uint8_t> head =
        source.bytes(0, static_cast<std::size_t>(std::min<std::uint64_t>(size, kHeaderBytes)));
    const Reader r(head.data(), head.size());
    if (head.size() < 26 || head[0] != 'B' || head[1] != 'M') {
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
        const std::vector<std::uint8_t> entries =
            source.bytes(paletteAt, static_cast<std::size_t>(count) * paletteEntrySize);
        if (entries.empty()) {
            invalid("bitmap data cut short");
        }
        h.palette.assign(maxColors, 0xFF000000u);
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint8_t* p = entries.data() + static_cast<std::size_t>(i) * paletteEntrySize;
            h.palette[i] = 0xFF000000u | p[2] << 16 | p[1] << 8 | p[0];
        }
    }
    if (h.pixelOffset >= size) {
        invalid("no pixel data");
    }
    return h;
}

// Which rows and columns of the picture are decoded: every `step`-th one,
// so that the output stays within a pixel budget.
struct Sampling {
    std::int64_t step = 1;
    int width = 0; // of the output
    int height = 0;
};

Sampling sampleWithin(std::int64_t width, std::int64_t height, std::int64_t budget) {
    const auto outOf = [](std::int64_t side, std::int64_t step) {
        return (side + step - 1) / step;
    };
    std::int64_t step = std::max<std::int64_t>(
        1, static_cast<std::int64_t>(std::sqrt(static_cast<double>(width) * height / budget)));
    while (step > 1 && outOf(width, step - 1) * outOf(height, step - 1) <= budget) {
        --step;
    }
    while (outOf(width, step) * outOf(height, step) > budget) {
        ++step;
    }
    return {step, static_cast<int>(outOf(width, step)), static_cast<int>(outOf(height, step))};
}

class PixelFormat {
public:
    explicit PixelFormat(const Header& h) : h_(h) {
        std::uint32_t masks[4] = {h.masks[0], h.masks[1], h.masks[2], h.masks[3]};
        if (h.compression == kRgb && h.bitCount == 16) {
            masks[0] = 0x7C00;
            masks[1] = 0x03E0;
            masks[2] = 0x001F;
        }
        red_ = Channel(masks[0]);
        green_ = Channel(masks[1]);
        blue_ = Channel(masks[2]);
        alpha_ = Channel(masks[3]);
    }

    // Output pixel ox of a stored row, taken from column ox * step.
    void decodeRow(const unsigned char* src, std::uint32_t* out, int outWidth, std::int64_t step) {
        switch (h_.bitCount) {
        case 1:
        case 4:
        case 8: {
            const int bits = h_.bitCount;
            const int perByte = 8 / bits;
            const unsigned mask = (1u << bits) - 1;
            for (int ox = 0; ox < outWidth; ++ox) {
                const std::int64_t x = ox * step;
                const unsigned byte = src[x / perByte];
                const int shift = 8 - bits * static_cast<int>(x % perByte + 1);
                out[ox] = h_.palette[(byte >> shift) & mask];
            }
            break;
        }
        case 16:
            for (int ox = 0; ox < outWidth; ++ox) {
                const unsigned char* q = src + 2 * ox * step;
                out[ox] = fromMasks(q[0] | q[1] << 8);
            }
            break;
        case 24:
            for (int ox = 0; ox < outWidth; ++ox) {
                const unsigned char* p = src + 3 * ox * step;
                out[ox] = 0xFF000000u | p[2] << 16 | p[1] << 8 | p[0];
            }
            break;
        case 32:
            for (int ox = 0; ox < outWidth; ++ox) {
                const unsigned char* q = src + 4 * ox * step;
                const std::uint32_t p =
                    q[0] | q[1] << 8 | q[2] << 16 | static_cast<std::uint32_t>(q[3]) << 24;
                if (h_.compression == kRgb && !h_.hasAlphaMask) {
                    out[ox] = 0xFF000000u | (p & 0x00FFFFFFu);
                } else {
                    out[ox] = fromMasks(p);
                }
            }
            break;
        }
    }

    // An alpha channel that is zero everywhere is unused, not transparent.
    void finish(RgbaImage& image) const {
        if (h_.hasAlphaMask && !anyAlpha_) {
            for (std::uint32_t& p : image.pixels) {
                p |= 0xFF000000u;
            }
        }
    }

private:
    // A pixel of bit fields, opaque unless the alpha mask counts.
    std::uint32_t fromMasks(std::uint32_t p) {
        std::uint32_t argb = 0xFF000000u | red_(p) << 16 | green_(p) << 8 | blue_(p);
        if (h_.hasAlphaMask) {
            const std::uint32_t a = alpha_(p);
            anyAlpha_ |= a != 0;
            argb = (argb & 0x00FFFFFFu) | a << 24;
        }
        return argb;
    }

    const Header& h_;
    Channel red_, green_, blue_, alpha_;
    bool anyAlpha_ = false;
};

void decodeUncompressed(const Header& h, ByteSource& source, const Sampling& sampling,
                        RgbaImage& image) {
    const std::size_t bits = static_cast<std::size_t>(h.width) * h.bitCount;
    const std::size_t rowBytes = ((bits + 31) / 32) * 4;
    // The last stored row needs only its pixels, not its padding.
    const std::size_t lastRow = (bits + 7) / 8;
    const std::size_t total = rowBytes * (static_cast<std::size_t>(h.height) - 1) + lastRow;
    PixelFormat format(h);
    const auto outRow = [&](std::int64_t stored) {
        const std::int64_t y = h.topDown ? stored : h.height - 1 - stored;
        return image.pixels.data() + static_cast<std::size_t>(y / sampling.step) * image.width;
    };
    if (sampling.step == 1 && total <= kWholeReadLimit) {
        const std::vector<std::uint8_t> data = source.bytes(h.pixelOffset, total);
        if (data.empty()) {
            invalid("bitmap data cut short");
        }
        for (std::int64_t row = 0; row < h.height; ++row) {
            format.decodeRow(data.data() + static_cast<std::size_t>(row) * rowBytes, outRow(row),
                             image.width, 1);
        }
    } else {
        // Only the rows that are shown are read.
        std::vector<std::uint8_t> buffer(rowBytes);
        for (int oy = 0; oy < image.height; ++oy) {
            const std::int64_t y = oy * sampling.step;
            const std::int64_t stored = h.topDown ? y : h.height - 1 - y;
            const std::size_t length = stored == h.height - 1 ? lastRow : rowBytes;
            if (!source.read(h.pixelOffset + static_cast<std::uint64_t>(stored) * rowBytes,
                             {buffer.data(), length})) {
                invalid("bitmap data cut short");
            }
            format.decodeRow(buffer.data(), outRow(stored), image.width, sampling.step);
        }
    }
    format.finish(image);
}

// The run-length data, read piece by piece.
class RleStream {
public:
    RleStream(ByteSource& source, std::uint64_t start)
        : source_(source), next_(start), end_(source.size()) {}

    // The next `n` bytes, or nothing when fewer are left.
    const std::uint8_t* take(std::size_t n) {
        if (buffer_.size() - at_ < n) {
            const std::size_t kept = buffer_.size() - at_;
            std::vector<std::uint8_t> next(
                kept + static_cast<std::size_t>(std::min<std::uint64_t>(kRleChunk, end_ - next_)));
            std::copy(buffer_.begin() + static_cast<std::ptrdiff_t>(at_), buffer_.end(),
                      next.begin());
            if (!source_.read(next_, {next.data() + kept, next.size() - kept})) {
                invalid("bitmap data cut short");
            }
            next_ += next.size() - kept;
            buffer_ = std::move(next);
            at_ = 0;
            if (buffer_.size() < n) {
                return nullptr;
            }
        }
        const std::uint8_t* p = buffer_.data() + at_;
        at_ += n;
        return p;
    }

private:
    ByteSource& source_;
    std::uint64_t next_;
    std::uint64_t end_;
    std::vector<std::uint8_t> buffer_;
    std::size_t at_ = 0;
};

void decodeRle(const Header& h, ByteSource& source, const Sampling& sampling, RgbaImage& image) {
    const bool four = h.compression == kRle4;
    // Pixels not written by the data (skipped by a delta or an early end) are
    // shown in the first palette colour, as Windows does.
    std::fill(image.pixels.begin(), image.pixels.end(), h.palette[0]);
    const std::int64_t w = h.width;
    const std::int64_t height = h.height;
    const std::int64_t step = sampling.step;
    std::int64_t x = 0;
    std::int64_t row = 0; // from the bottom
    // `n` pixels from x on, pixel k of the palette index indexOf(k); only the
    // shown ones are written, so the work follows the output, not the
    // declared size.
    const auto run = [&](std::int64_t n, const auto& indexOf) {
        const std::int64_t y = height - 1 - row;
        if (row < height && y % step == 0 && x < w) {
            std::uint32_t* out =
                image.pixels.data() + static_cast<std::size_t>(y / step) * image.width;
            for (std::int64_t k = (step - x % step) % step; k < n && x + k < w; k += step) {
                out[(x + k) / step] = h.palette[indexOf(k)];
            }
        }
        x += n;
    };
    RleStream in(source, h.pixelOffset);
    while (row < height) {
        const std::uint8_t* code = in.take(2);
        if (!code) {
            break;
        }
        const unsigned count = code[0];
        const unsigned value = code[1];
        if (count > 0) {
            run(count, [&](std::int64_t k) {
                return four ? (k % 2 == 0 ? value >> 4 : value & 0x0F) : value;
            });
            continue;
        }
        if (value == 0) { // end of line
            x = 0;
            ++row;
        } else if (value == 1) { // end of bitmap
            break;
        } else if (value == 2) { // delta
            const std::uint8_t* delta = in.take(2);
            if (!delta) {
                break;
            }
            x += delta[0];
            row += delta[1];
        } else { // absolute run of `value` pixels, padded to a 16-bit boundary
            const std::size_t bytes = four ? (value + 1) / 2 : value;
            const std::uint8_t* data = in.take(bytes);
            if (!data) {
                invalid("bitmap data cut short");
            }
            run(value, [&](std::int64_t k) {
                const unsigned byte = data[four ? k / 2 : k];
                return four ? (k % 2 == 0 ? byte >> 4 : byte & 0x0F) : byte;
            });
            if (bytes & 1) {
                in.take(1);
            }
        }
    }
}

} // namespace

DecodedPicture decodeBmp(ByteSource& source) {
    const Header h = readHeader(source);
    const bool rle = h.compression == kRle8 || h.compression == kRle4;
    const std::uint64_t dataBytes = source.size() - h.pixelOffset;
    std::int64_t budget = kMaxBitmapPixels;
    if (rle) {
        // Each two bytes of run-length data draw at most 255 pixels; what
        // they leave out is background. A large picture declared over little
        // data is decoded at the scale that data can fill.
        const auto drawable =
            static_cast<std::int64_t>(std::min<std::uint64_t>(dataBytes, kMaxBitmapPixels)) * 128;
        budget = std::clamp<std::int64_t>(drawable, kMinRunLengthPixels, kMaxBitmapPixels);
    } else {
        // Checked against the file size before the picture is allocated; the
        // last row needs only its pixels, not its padding.
        const std::uint64_t bits = static_cast<std::uint64_t>(h.width) * h.bitCount;
        const std::uint64_t rowBytes = ((bits + 31) / 32) * 4;
        const std::uint64_t lastRow = (bits + 7) / 8;
        const std::uint64_t otherRows = static_cast<std::uint64_t>(h.height) - 1;
        if (lastRow > dataBytes ||
            (otherRows > 0 && rowBytes > (dataBytes - lastRow) / otherRows)) {
            invalid("bitmap data cut short");
        }
    }
    const Sampling sampling = sampleWithin(h.width, h.height, budget);
    DecodedPicture pic;
    pic.width = static_cast<int>(h.width);
    pic.height = static_cast<int>(h.height);
    try {
        pic.image = RgbaImage(sampling.width, sampling.height);
    } catch (const std::bad_alloc&) {
        raise(kind::OutOfMemory, "no memory for the bitmap");
    }
    if (rle) {
        decodeRle(h, source, sampling, pic.image);
    } else {
        decodeUncompressed(h, source, sampling, pic.image);
    }
    return pic;
}

DecodedPicture decodeBmpMemory(const unsigned char* data, std::size_t size) {
    MemorySource source(data, size);
    return decodeBmp(source);
}

DecodedPicture decodeBmpFile(const std::string& path) {
    FileSource source(path);
    return decodeBmp(source);
}

} // namespace harpoly
