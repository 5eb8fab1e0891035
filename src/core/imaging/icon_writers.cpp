#include "core/imaging/icon_writers.h"

#include "core/errors.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>

namespace harpoly {

const std::uint32_t kStandardPalette16[16] = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};

namespace {

void put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

void putInfoHeader(std::vector<std::uint8_t>& out, int width, int height, int bits,
                   std::uint32_t imageSize, std::uint32_t colorsUsed) {
    put32(out, 40);
    put32(out, static_cast<std::uint32_t>(width));
    put32(out, static_cast<std::uint32_t>(height));
    put16(out, 1);
    put16(out, static_cast<std::uint32_t>(bits));
    put32(out, 0); // no compression
    put32(out, imageSize);
    put32(out, 0); // resolution
    put32(out, 0);
    put32(out, colorsUsed);
    put32(out, 0); // important colours
}

std::size_t stride(int width, int bits) {
    return (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
}

} // namespace

int nearestStandardColor(std::uint32_t rgb) {
    const int r = (rgb >> 16) & 0xFF;
    const int g = (rgb >> 8) & 0xFF;
    const int b = rgb & 0xFF;
    int best = 0;
    int bestDistance = 0;
    for (int i = 0; i < 16; ++i) {
        const std::uint32_t p = kStandardPalette16[i];
        const int dr = r - static_cast<int>((p >> 16) & 0xFF);
        const int dg = g - static_cast<int>((p >> 8) & 0xFF);
        const int db = b - static_cast<int>(p & 0xFF);
        const int distance = dr * dr + dg * dg + db * db;
        if (i == 0 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

std::vector<std::uint8_t> encodeIco16(const IconImage& icon) {
    const int w = icon.width;
    const int h = icon.height;
    const std::size_t colorStride = stride(w, 4);
    const std::size_t maskStride = stride(w, 1);
    const auto colorSize = static_cast<std::uint32_t>(colorStride * h);
    const auto maskSize = static_cast<std::uint32_t>(maskStride * h);

    std::vector<std::uint8_t> out;
    out.reserve(22 + 104 + colorSize + maskSize);
    put16(out, 0); // reserved
    put16(out, 1); // icon
    put16(out, 1); // one image
    out.push_back(static_cast<std::uint8_t>(w >= 256 ? 0 : w));
    out.push_back(static_cast<std::uint8_t>(h >= 256 ? 0 : h));
    out.push_back(4); // planes times bits per pixel
    out.push_back(0);
    put16(out, 0); // planes
    put16(out, 0); // bits per pixel
    put32(out, 104 + colorSize + maskSize);
    put32(out, 22);
    putInfoHeader(out, w, h * 2, 4, colorSize, 16);
    for (std::uint32_t c : kStandardPalette16) {
        put32(out, c); // blue, green, red, 0
    }

    // A pixel of an alpha icon that is drawn transparent is written black, so
    // that the mask alone leaves the background showing.
    auto transparent = [&](std::size_t i) {
        return icon.hasAlpha ? (icon.color[i] >> 24) < 128 : icon.mask[i] != 0;
    };
    const std::size_t colorStart = out.size();
    out.resize(colorStart + colorSize + maskSize, 0);
    for (int y = 0; y < h; ++y) {
        std::uint8_t* colorRow = out.data() + colorStart + (h - 1 - y) * colorStride;
        std::uint8_t* maskRow = out.data() + colorStart + colorSize + (h - 1 - y) * maskStride;
        for (int x = 0; x < w; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * w + x;
            const bool clear = transparent(i);
            const int index =
                clear && icon.hasAlpha ? 0 : nearestStandardColor(icon.color[i] & 0xFFFFFF);
            colorRow[x / 2] |= static_cast<std::uint8_t>(x % 2 ? index : index << 4);
            if (clear) {
                maskRow[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            }
        }
    }
    return out;
}

std::vector<std::uint8_t> encodeBmp32(const RgbaImage& picture) {
    const int w = picture.width;
    const int h = picture.height;
    const auto imageSize = static_cast<std::uint32_t>(static_cast<std::size_t>(w) * h * 4);
    std::vector<std::uint8_t> out;
    out.reserve(54 + imageSize);
    out.push_back('B');
    out.push_back('M');
    put32(out, 54 + imageSize);
    put16(out, 0);
    put16(out, 0);
    put32(out, 54);
    putInfoHeader(out, w, h, 32, imageSize, 0);
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            const std::uint32_t c = picture.at(x, y);
            out.push_back(static_cast<std::uint8_t>(c));
            out.push_back(static_cast<std::uint8_t>(c >> 8));
            out.push_back(static_cast<std::uint8_t>(c >> 16));
            out.push_back(0xFF);
        }
    }
    return out;
}

namespace {

struct JpegErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

[[noreturn]] void onJpegError(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<JpegErrorManager*>(cinfo->err)->jump, 1);
}

void onJpegMessage(j_common_ptr) {}

struct JpegJob {
    jpeg_compress_struct cinfo;
    JpegErrorManager err;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    const RgbaImage* picture = nullptr;
    std::uint8_t* row = nullptr; // width * 3 bytes, owned by the caller
    int quality = 90;
};

// Runs libjpeg under its setjmp error return; holds no object with a
// destructor. Returns false when libjpeg reported an error.
bool runEncoder(JpegJob* job) {
    jpeg_compress_struct* cinfo = &job->cinfo;
    cinfo->err = jpeg_std_error(&job->err.base);
    job->err.base.error_exit = onJpegError;
    job->err.base.output_message = onJpegMessage;
    if (setjmp(job->err.jump)) {
        jpeg_destroy_compress(cinfo);
        return false;
    }
    jpeg_create_compress(cinfo);
    jpeg_mem_dest(cinfo, &job->buffer, &job->size);
    cinfo->image_width = static_cast<JDIMENSION>(job->picture->width);
    cinfo->image_height = static_cast<JDIMENSION>(job->picture->height);
    cinfo->input_components = 3;
    cinfo->in_color_space = JCS_RGB;
    jpeg_set_defaults(cinfo);
    jpeg_set_quality(cinfo, job->quality, TRUE);
    cinfo->dct_method = JDCT_FLOAT;
    jpeg_start_compress(cinfo, TRUE);
    const int w = job->picture->width;
    while (cinfo->next_scanline < cinfo->image_height) {
        const std::uint32_t* src =
            job->picture->pixels.data() + static_cast<std::size_t>(cinfo->next_scanline) * w;
        for (int x = 0; x < w; ++x) {
            job->row[x * 3] = static_cast<std::uint8_t>(src[x] >> 16);
            job->row[x * 3 + 1] = static_cast<std::uint8_t>(src[x] >> 8);
            job->row[x * 3 + 2] = static_cast<std::uint8_t>(src[x]);
        }
        JSAMPROW row = job->row;
        jpeg_write_scanlines(cinfo, &row, 1);
    }
    jpeg_finish_compress(cinfo);
    jpeg_destroy_compress(cinfo);
    return true;
}

} // namespace

std::vector<std::uint8_t> encodeJpeg(const RgbaImage& picture, int quality) {
    if (picture.empty()) {
        raise(kind::JPEG);
    }
    std::vector<std::uint8_t> row(static_cast<std::size_t>(picture.width) * 3);
    JpegJob job{};
    job.picture = &picture;
    job.row = row.data();
    job.quality = quality;
    const bool ok = runEncoder(&job);
    std::vector<std::uint8_t> out;
    if (ok) {
        out.assign(job.buffer, job.buffer + job.size);
    }
    std::free(job.buffer);
    if (!ok) {
        raise(kind::JPEG);
    }
    return out;
}

} // namespace harpoly
