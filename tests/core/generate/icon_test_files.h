#pragma once

// Icon files and Windows programs written byte by byte for the tests and the
// benchmark: icon images (device-independent bitmaps or PNG), icon files, and
// minimal PE32 / PE32+ images whose .rsrc section holds RT_ICON and
// RT_GROUP_ICON resources.

#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace harpoly::icon_test {

using Bytes = std::vector<std::uint8_t>;
using ColorAt = std::function<std::uint32_t(int x, int y)>; // 0xAARRGGBB
using ClearAt = std::function<bool(int x, int y)>;          // true: transparent

inline void put8(Bytes& b, std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
}
inline void put16(Bytes& b, std::uint32_t v) {
    put8(b, v);
    put8(b, v >> 8);
}
inline void put32(Bytes& b, std::uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}
inline void set32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}
inline void set16(Bytes& b, std::size_t at, std::uint32_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
inline std::uint32_t get32(const Bytes& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}
inline std::uint32_t get16(const Bytes& b, std::size_t at) {
    return b[at] | b[at + 1] << 8;
}

// A palette of up to 256 colours for the indexed depths: a grey ramp with
// the 16 standard colours first.
inline std::uint32_t testPaletteColor(int i) {
    static const std::uint32_t vga[16] = {
        0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
        0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    return i < 16 ? vga[i] : static_cast<std::uint32_t>(i * 0x010101);
}

// An icon image as a DIB: header, palette (bits <= 8), colour rows and AND
// mask, rows bottom up. For indexed depths `color` gives the palette index in
// its low byte.
inline Bytes dibImage(int w, int h, int bits, const ColorAt& color, const ClearAt& clear) {
    Bytes b;
    const std::size_t colorStride = (static_cast<std::size_t>(w) * bits + 31) / 32 * 4;
    const std::size_t maskStride = (static_cast<std::size_t>(w) + 31) / 32 * 4;
    put32(b, 40);
    put32(b, w);
    put32(b, h * 2);
    put16(b, 1);
    put16(b, bits);
    put32(b, 0);
    put32(b, static_cast<std::uint32_t>((colorStride + maskStride) * h));
    put32(b, 0);
    put32(b, 0);
    put32(b, 0);
    put32(b, 0);
    if (bits <= 8) {
        for (int i = 0; i < (1 << bits); ++i) {
            put32(b, testPaletteColor(i));
        }
    }
    for (int y = h - 1; y >= 0; --y) {
        Bytes row(colorStride, 0);
        for (int x = 0; x < w; ++x) {
            const std::uint32_t c = color(x, y);
            switch (bits) {
            case 1:
                row[x / 8] |= static_cast<std::uint8_t>((c & 1) << (7 - x % 8));
                break;
            case 4:
                row[x / 2] |= static_cast<std::uint8_t>((c & 15) << (x % 2 ? 0 : 4));
                break;
            case 8:
                row[x] = static_cast<std::uint8_t>(c);
                break;
            case 24:
                row[x * 3] = static_cast<std::uint8_t>(c);
                row[x * 3 + 1] = static_cast<std::uint8_t>(c >> 8);
                row[x * 3 + 2] = static_cast<std::uint8_t>(c >> 16);
                break;
            default:
                set32(row, x * 4, c);
            }
        }
        b.insert(b.end(), row.begin(), row.end());
    }
    for (int y = h - 1; y >= 0; --y) {
        Bytes row(maskStride, 0);
        for (int x = 0; x < w; ++x) {
            if (clear(x, y)) {
                row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            }
        }
        b.insert(b.end(), row.begin(), row.end());
    }
    return b;
}

// A PNG stream of w by h RGBA pixels.
inline Bytes pngImage(int w, int h, const ColorAt& color) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const std::uint32_t c = color(x, y);
            std::uint8_t* p = rgba.data() + (static_cast<std::size_t>(y) * w + x) * 4;
            p[0] = static_cast<std::uint8_t>(c >> 16);
            p[1] = static_cast<std::uint8_t>(c >> 8);
            p[2] = static_cast<std::uint8_t>(c);
            p[3] = static_cast<std::uint8_t>(c >> 24);
        }
    }
    std::vector<png_bytep> rows(h);
    for (int y = 0; y < h; ++y) {
        rows[y] = rgba.data() + static_cast<std::size_t>(y) * w * 4;
    }
    if (setjmp(png_jmpbuf(png)) == 0) {
        png_set_write_fn(
            png, &out,
            [](png_structp p, png_bytep data, png_size_t n) {
                auto* o = static_cast<Bytes*>(png_get_io_ptr(p));
                o->insert(o->end(), data, data + n);
            },
            nullptr);
        png_set_IHDR(png, info, w, h, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        png_write_image(png, rows.data());
        png_write_end(png, nullptr);
    }
    png_destroy_write_struct(&png, &info);
    return out;
}

// One image of an icon with what its directory entry says of it.
struct Image {
    int width = 32;
    int height = 32;
    int bits = 4;
    Bytes data;
};

inline Image solidImage(int size, int bits, std::uint32_t color) {
    return {size, size, bits,
            dibImage(
                size, size, bits, [=](int, int) { return color; }, [](int, int) { return false; })};
}

// The part of an icon directory entry that .ico files and program
// resources share; the image's place (offset or resource id) follows it.
inline void putDirectoryEntry(Bytes& b, const Image& im) {
    put8(b, im.width >= 256 ? 0 : im.width);
    put8(b, im.height >= 256 ? 0 : im.height);
    put8(b, im.bits < 8 ? 1 << im.bits : 0);
    put8(b, 0);
    put16(b, 1);
    put16(b, im.bits);
    put32(b, static_cast<std::uint32_t>(im.data.size()));
}

// An icon file (.ico) of the images.
inline Bytes icoFile(const std::vector<Image>& images) {
    Bytes b;
    put16(b, 0);
    put16(b, 1);
    put16(b, static_cast<std::uint32_t>(images.size()));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
    for (const Image& im : images) {
        putDirectoryEntry(b, im);
        put32(b, offset);
        offset += static_cast<std::uint32_t>(im.data.size());
    }
    for (const Image& im : images) {
        b.insert(b.end(), im.data.begin(), im.data.end());
    }
    return b;
}

// Where the parts of a built program lie, for tests that damage them.
struct PeLayout {
    std::size_t rsrcOffset = 0;                // file offset of the root resource directory
    std::uint32_t rsrcRva = 0;                 // its relative virtual address
    std::size_t groupTypeDir = 0;              // file offset of the RT_GROUP_ICON name directory
    std::size_t iconTypeDir = 0;               // file offset of the RT_ICON name directory
    std::vector<std::size_t> groupDataEntries; // file offsets of the groups' data entries
};

inline constexpr std::size_t kPeRsrcFileOffset = 0x200;
inline constexpr std::uint32_t kPeRsrcRva = 0x1000;

// The headers of a PE32 (or PE32+) image, kPeRsrcFileOffset bytes, with one
// .rsrc section at kPeRsrcRva of `size` bytes, `rawSize` of them stored at
// `rawOffset` in the file.
inline Bytes peHeaders(std::uint32_t size, std::uint32_t rawSize, std::uint32_t rawOffset,
                       bool pe32Plus = false) {
    Bytes b(kPeRsrcFileOffset, 0);
    b[0] = 'M';
    b[1] = 'Z';
    set32(b, 0x3C, 0x40);
    set32(b, 0x40, 0x00004550);
    const std::size_t coff = 0x44;
    set16(b, coff, pe32Plus ? 0x8664 : 0x14C);
    set16(b, coff + 2, 1);
    const std::uint32_t optionalSize = pe32Plus ? 240 : 224;
    set16(b, coff + 16, optionalSize);
    set16(b, coff + 18, 0x2102); // executable, DLL
    const std::size_t optional = coff + 20;
    set16(b, optional, pe32Plus ? 0x20B : 0x10B);
    const std::size_t dirs = optional + (pe32Plus ? 108 : 92);
    set32(b, dirs, 16);
    set32(b, dirs + 4 + 2 * 8, kPeRsrcRva);
    set32(b, dirs + 4 + 2 * 8 + 4, size);
    const std::size_t section = optional + optionalSize;
    std::memcpy(b.data() + section, ".rsrc", 5);
    set32(b, section + 8, size);
    set32(b, section + 12, kPeRsrcRva);
    set32(b, section + 16, rawSize);
    set32(b, section + 20, rawOffset);
    return b;
}

// A minimal PE32 (or PE32+) image with one .rsrc section holding one
// RT_GROUP_ICON per group (ids 1, 2, ...) and one RT_ICON per image.
inline Bytes peFile(const std::vector<std::vector<Image>>& groups, bool pe32Plus = false,
                    PeLayout* layoutOut = nullptr) {
    std::size_t imageCount = 0;
    for (const auto& g : groups) {
        imageCount += g.size();
    }
    const std::size_t groupCount = groups.size();

    // Resource section: root, two type directories, one language directory
    // per resource, one data entry per resource, then the data.
    const std::size_t root = 0;
    const std::size_t iconDir = root + 16 + 2 * 8;
    const std::size_t groupDir = iconDir + 16 + imageCount * 8;
    const std::size_t langDirs = groupDir + 16 + groupCount * 8;
    const std::size_t dataEntries = langDirs + (imageCount + groupCount) * 24;
    std::size_t dataStart = dataEntries + (imageCount + groupCount) * 16;

    Bytes rsrc(dataStart, 0);
    auto dirHeader = [&](std::size_t at, std::size_t ids) { set16(rsrc, at + 14, ids); };
    dirHeader(root, 2);
    set32(rsrc, root + 16, 3);
    set32(rsrc, root + 20, 0x80000000u | iconDir);
    set32(rsrc, root + 24, 14);
    set32(rsrc, root + 28, 0x80000000u | groupDir);
    dirHeader(iconDir, imageCount);
    dirHeader(groupDir, groupCount);

    std::size_t resource = 0;
    std::vector<std::size_t> groupEntryOffsets;
    auto addResource = [&](std::size_t nameDir, std::size_t index, std::uint32_t id,
                           const Bytes& data) {
        const std::size_t lang = langDirs + resource * 24;
        const std::size_t entry = dataEntries + resource * 16;
        set32(rsrc, nameDir + 16 + index * 8, id);
        set32(rsrc, nameDir + 16 + index * 8 + 4, 0x80000000u | lang);
        dirHeader(lang, 1);
        set32(rsrc, lang + 16, 0x409);
        set32(rsrc, lang + 20, static_cast<std::uint32_t>(entry));
        while (rsrc.size() % 4) {
            rsrc.push_back(0);
        }
        set32(rsrc, entry, kPeRsrcRva + static_cast<std::uint32_t>(rsrc.size()));
        set32(rsrc, entry + 4, static_cast<std::uint32_t>(data.size()));
        rsrc.insert(rsrc.end(), data.begin(), data.end());
        ++resource;
        return entry;
    };
    std::uint32_t nextIconId = 1;
    std::size_t iconIndex = 0;
    for (std::size_t g = 0; g < groupCount; ++g) {
        Bytes dir;
        put16(dir, 0);
        put16(dir, 1);
        put16(dir, static_cast<std::uint32_t>(groups[g].size()));
        for (const Image& im : groups[g]) {
            putDirectoryEntry(dir, im);
            put16(dir, nextIconId);
            addResource(iconDir, iconIndex++, nextIconId++, im.data);
        }
        groupEntryOffsets.push_back(
            addResource(groupDir, g, static_cast<std::uint32_t>(g + 1), dir));
    }
    const auto rsrcSize = static_cast<std::uint32_t>(rsrc.size());
    rsrc.resize((rsrc.size() + 0x1FF) / 0x200 * 0x200, 0);
    Bytes b =
        peHeaders(rsrcSize, static_cast<std::uint32_t>(rsrc.size()), kPeRsrcFileOffset, pe32Plus);
    b.insert(b.end(), rsrc.begin(), rsrc.end());

    if (layoutOut) {
        layoutOut->rsrcOffset = kPeRsrcFileOffset;
        layoutOut->rsrcRva = kPeRsrcRva;
        layoutOut->groupTypeDir = kPeRsrcFileOffset + groupDir;
        layoutOut->iconTypeDir = kPeRsrcFileOffset + iconDir;
        layoutOut->groupDataEntries.clear();
        for (std::size_t e : groupEntryOffsets) {
            layoutOut->groupDataEntries.push_back(kPeRsrcFileOffset + e);
        }
    }
    return b;
}

// A 16-bit Windows program (NE) whose resource table holds one RT_ICON per
// image and one RT_GROUP_ICON per group (ids 1, 2, ...), the data aligned to
// 1 << shift bytes.
inline Bytes neFile(const std::vector<std::vector<Image>>& groups, unsigned shift = 4) {
    std::vector<Bytes> icons;
    std::vector<Bytes> directories;
    std::uint32_t nextIconId = 1;
    for (const auto& g : groups) {
        Bytes dir;
        put16(dir, 0);
        put16(dir, 1);
        put16(dir, static_cast<std::uint32_t>(g.size()));
        for (const Image& im : g) {
            putDirectoryEntry(dir, im);
            put16(dir, nextIconId++);
            icons.push_back(im.data);
        }
        directories.push_back(dir);
    }
    constexpr std::size_t ne = 0x40;
    constexpr std::size_t tableAt = 64; // right after the NE header
    const std::size_t tableLength = 2 + (8 + 12 * icons.size()) + (8 + 12 * groups.size()) + 2;
    const std::size_t align = std::size_t{1} << shift;
    Bytes b(ne + tableAt + tableLength + 1, 0); // the resident-name table: one empty byte
    b[0] = 'M';
    b[1] = 'Z';
    set32(b, 0x3C, ne);
    b[ne] = 'N';
    b[ne + 1] = 'E';
    set16(b, ne + 0x24, tableAt);
    set16(b, ne + 0x26, tableAt + tableLength);
    std::size_t at = ne + tableAt;
    set16(b, at, shift);
    at += 2;
    auto addType = [&](std::uint32_t type, const std::vector<Bytes>& resources) {
        set16(b, at, 0x8000 | type);
        set16(b, at + 2, resources.size());
        at += 8;
        for (std::size_t i = 0; i < resources.size(); ++i, at += 12) {
            while (b.size() % align) {
                b.push_back(0);
            }
            set16(b, at, b.size() >> shift);
            set16(b, at + 2, (resources[i].size() + align - 1) >> shift);
            set16(b, at + 4, 0x1C30); // moveable, pure, discardable
            set16(b, at + 6, 0x8000 | (i + 1));
            b.insert(b.end(), resources[i].begin(), resources[i].end());
        }
    };
    addType(3, icons);
    addType(14, directories);
    set16(b, at, 0); // end of the table
    while (b.size() % align) {
        b.push_back(0);
    }
    return b;
}

} // namespace harpoly::icon_test
