#include "imaging/jpeg_decoder.h"

#include "errors.h"

namespace harpoly {

int jpegScaleDenominator(int, int, int, int) {
    return 1;
}

DecodedPicture decodeJpegFile(const std::string&, int, int) {
    raise(kind::JPEG);
}

DecodedPicture decodeJpegMemory(const unsigned char*, std::size_t, int, int) {
    raise(kind::JPEG);
}

} // namespace harpoly
