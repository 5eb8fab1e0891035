#include "core/imaging/png_decode.h"

#include "core/errors.h"

#include <png.h>

#include <cstring>
#include <vector>

namespace harpoly {

namespace {

const std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

struct PngSource {
    std::span<const std::uint8_t> data;
    std::size_t pos = 0;
    int maxSide = 0;
    // Filled by the decoder; owned here so that a longjmp out of libpng
    // skips no destructor.
    RgbaImage image;
    std::vector<std::uint8_t> rgba;
    std::vector<png_bytep> rows;
    bool tooLarge = false;
};

void readFromMemory(png_structp png, png_bytep out, png_size_t length) {
    auto* src = static_cast<PngSource*>(png_get_io_ptr(png));
    if (length > src->data.size() - src->pos) {
        png_error(png, "truncated");
    }
    std::memcpy(out, src->data.data() + src->pos, length);
    src->pos += length;
}

[[noreturn]] void onPngError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void onPngWarning(png_structp, png_const_charp) {}

// Runs libpng under its setjmp error return. Holds no object with a destructor:
// every buffer lives in `src`. Returns false when libpng reported an error.
bool runDecoder(png_structp png, png_infop info, PngSource* src) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_set_read_fn(png, src, readFromMemory);
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    if (width == 0 || height == 0 || width > static_cast<png_uint_32>(src->maxSide) ||
        height > static_cast<png_uint_32>(src->maxSide)) {
        src->tooLarge = true;
        return false;
    }
    const int colorType = png_get_color_type(png, info);
    const int bitDepth = png_get_bit_depth(png, info);
    if (bitDepth == 16) {
        png_set_strip_16(png);
    }
    if (colorType == PNG_COLOR_TYPE_PALETTE) {
        png_set_palette_to_rgb(png);
    }
    if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) {
        png_set_expand_gray_1_2_4_to_8(png);
    }
    if (png_get_valid(png, info, PNG_INFO_tRNS)) {
        png_set_tRNS_to_alpha(png);
    }
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) {
        png_set_gray_to_rgb(png);
    }
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != static_cast<png_size_t>(width) * 4) {
        png_error(png, "unexpected row layout");
    }
    src->rgba.assign(static_cast<std::size_t>(width) * height * 4, 0);
    src->rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y) {
        src->rows[y] = src->rgba.data() + static_cast<std::size_t>(y) * width * 4;
    }
    png_read_image(png, src->rows.data());
    png_read_end(png, nullptr);
    src->image.width = static_cast<int>(width);
    src->image.height = static_cast<int>(height);
    return true;
}

} // namespace

bool isPngSignature(std::span<const std::uint8_t> data) {
    return data.size() >= sizeof kPngSignature &&
           std::memcmp(data.data(), kPngSignature, sizeof kPngSignature) == 0;
}

RgbaImage decodePng(std::span<const std::uint8_t> data, int maxSide) {
    if (!isPngSignature(data)) {
        raise(kind::InvalidGraphic);
    }
    png_structp png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, onPngError, onPngWarning);
    if (!png) {
        raise(kind::OutOfMemory);
    }
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        raise(kind::OutOfMemory);
    }
    PngSource src;
    src.data = data;
    src.maxSide = maxSide;
    bool decoded = false;
    try {
        decoded = runDecoder(png, info, &src);
    } catch (...) {
        // std::bad_alloc from a buffer of ours; libpng's state is still sound.
        png_destroy_read_struct(&png, &info, nullptr);
        throw;
    }
    png_destroy_read_struct(&png, &info, nullptr);
    if (!decoded) {
        raise(kind::InvalidGraphic);
    }
    RgbaImage image(src.image.width, src.image.height, 0);
    const std::uint8_t* p = src.rgba.data();
    for (auto& pixel : image.pixels) {
        pixel = static_cast<std::uint32_t>(p[3]) << 24 | static_cast<std::uint32_t>(p[0]) << 16 |
                static_cast<std::uint32_t>(p[1]) << 8 | p[2];
        p += 4;
    }
    return image;
}

} // namespace harpoly
