// libFuzzer target: the metafile reader on arbitrary bytes. Each input is read
// twice, with the reader's own limits and with tight ones, so that the paths
// that cut a picture short are reached as often as the drawing paths. Any
// outcome other than a picture or Error(kind::InvalidGraphic) is a fault, as
// is anything the sanitizers report.
//
// Seeds: metafiles written by tests/core/imaging/metafile_builder.h (the
// samples of tests/core/robustness/damaged_input_test.cpp are a good start).

#include "core/errors.h"
#include "core/imaging/metafile_reader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void readOnce(const std::uint8_t* data, std::size_t size, const harpoly::MetafileLimits& limits) {
    try {
        const harpoly::Metafile picture = harpoly::readMetafile({data, size}, limits);
        if (picture.width < 1 || picture.height < 1 || picture.width > harpoly::kMaxMetafileSide ||
            picture.height > harpoly::kMaxMetafileSide ||
            picture.drawing.items.size() > limits.items ||
            picture.drawing.points.size() > limits.points) {
            std::abort();
        }
    } catch (const harpoly::Error& e) {
        if (e.kind() != harpoly::kind::InvalidGraphic) {
            std::abort();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    readOnce(data, size, harpoly::MetafileLimits{});
    harpoly::MetafileLimits tight;
    tight.items = 64;
    tight.points = 512;
    tight.textBytes = 256;
    tight.bitmapPixels = 4096;
    tight.saveDepth = 4;
    tight.objects = 8;
    readOnce(data, size, tight);
    return 0;
}
