#include "core/imaging/picture_loader.h"

#include "core/errors.h"
#include "core/imaging/bmp_decoder.h"
#include "core/imaging/jpeg_decoder.h"

namespace harpoly {

DecodedPicture loadPreviewPicture(const std::string& path, std::string_view extLower,
                                  const DecodeTarget& target) {
    if (extLower == ".jpg" || extLower == ".jpeg") {
        return decodeJpegFile(path, target);
    }
    if (extLower == ".bmp") {
        return decodeBmpFile(path);
    }
    // Windows metafiles have no reader on this platform; like every other
    // extension without a decoder they are invalid picture data.
    raise(kind::InvalidGraphic);
}

DecodedPicture loadPreviewPicture(const std::string& path, std::string_view extLower, int needWidth,
                                  int needHeight) {
    return loadPreviewPicture(path, extLower, DecodeTarget{needWidth, needHeight, false, {}});
}

} // namespace harpoly
