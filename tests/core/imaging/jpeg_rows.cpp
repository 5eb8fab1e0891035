#include "jpeg_rows.h"

#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace harpoly::testing {

namespace {
J_COLOR_SPACE colourSpaceOf(int components) {
    switch (components) {
    case 1:
        return JCS_GRAYSCALE;
    case 4:
        return JCS_CMYK;
    default:
        return JCS_RGB;
    }
}
} // namespace

std::string encodeRepeatedRow(const JpegRows& layout, const std::vector<unsigned char>& row) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &out, &size);
    cinfo.image_width = static_cast<JDIMENSION>(layout.width);
    cinfo.image_height = static_cast<JDIMENSION>(layout.height);
    cinfo.input_components = layout.components;
    cinfo.in_color_space = colourSpaceOf(layout.components);
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, layout.quality, TRUE);
    if (layout.progressive) {
        jpeg_simple_progression(&cinfo);
    }
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW rows[1] = {const_cast<JSAMPLE*>(row.data())};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::string bytes(reinterpret_cast<const char*>(out), size);
    jpeg_destroy_compress(&cinfo);
    std::free(out);
    return bytes;
}

} // namespace harpoly::testing
