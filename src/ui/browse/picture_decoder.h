#pragma once

#include "core/imaging/decoded_picture.h"

#include <memory>
#include <stop_token>
#include <string>

namespace harpoly {
struct Metafile;
}

namespace harpoly::ui {

// One picture file to decode for the preview.
struct PictureRequest {
    std::string path;     // display folder + name
    std::string extLower; // chooses the format
    // The box the picture is fitted into; 0 x 0 for its own size (natural-size
    // view). A JPEG is decoded at the smallest scale that still fills it.
    int boxWidth = 0;
    int boxHeight = 0;
    // A metafile read already (for its size); read anew when null.
    std::shared_ptr<const Metafile> metafile;
};

// Decodes the pictures of the preview. Called on worker threads, several
// decodes at once, never on the window thread; everything it touches is its
// own or read-only. A decode asked to stop through `stop` may end early with
// anything: its result is thrown away. Errors are thrown as the core's
// decoders throw them (harpoly::Error with its kind).
class PictureDecoder {
public:
    virtual ~PictureDecoder() = default;
    virtual DecodedPicture decode(const PictureRequest& request, std::stop_token stop) = 0;
};

// The program's own: the core's picture loader.
std::shared_ptr<PictureDecoder> makePictureDecoder();

} // namespace harpoly::ui
