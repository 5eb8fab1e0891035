#pragma once

// libjpeg's compressor run over one row of samples repeated down the whole
// picture, for the tests' small solid or gradient JPEGs.

#include <string>
#include <vector>

namespace harpoly::testing {

struct JpegRows {
    int width = 0;
    int height = 0;
    int components = 3; // 1 grey, 3 RGB, 4 CMYK
    int quality = 75;
    bool progressive = false;
};

// `row` holds width * components samples; the result is the encoded file.
std::string encodeRepeatedRow(const JpegRows& layout, const std::vector<unsigned char>& row);

} // namespace harpoly::testing
