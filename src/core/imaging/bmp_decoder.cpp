#include "imaging/bmp_decoder.h"

#include "errors.h"

namespace harpoly {

DecodedPicture decodeBmpFile(const std::string&) {
    raise(kind::InvalidGraphic);
}

DecodedPicture decodeBmpMemory(const unsigned char*, std::size_t) {
    raise(kind::InvalidGraphic);
}

} // namespace harpoly
