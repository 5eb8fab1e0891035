#pragma once

#include "core/imaging/decoded_picture.h"

#include <string>
#include <string_view>

namespace harpoly {

// Loads a picture for the preview, the format chosen by the lower-case
// extension (dot included): ".bmp" bitmap, ".jpg" and ".jpeg" JPEG. Every
// other extension throws Error(kind::InvalidGraphic); Windows metafiles
// (".wmf", ".emf") are no raster and are read by readMetafileFile instead. `needWidth` x
// `needHeight` is the box the picture will be fitted into; a JPEG is then decoded at a reduced
// scale that still fills the drawn size. Pass 0, 0 for the full size (natural-size view).
DecodedPicture loadPreviewPicture(const std::string& path, std::string_view extLower,
                                  int needWidth = 0, int needHeight = 0);
// The same for `target`: a JPEG can be handed over at the drawn size exactly
// and its decode stopped; a bitmap comes at its own size.
DecodedPicture loadPreviewPicture(const std::string& path, std::string_view extLower,
                                  const DecodeTarget& target);

} // namespace harpoly
