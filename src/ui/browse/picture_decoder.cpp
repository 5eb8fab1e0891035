#include "ui/browse/picture_decoder.h"

#include "core/imaging/picture_loader.h"

namespace harpoly::ui {

namespace {

class CorePictureDecoder : public PictureDecoder {
public:
    DecodedPicture decode(const PictureRequest& request, std::stop_token stop) override {
        // Reduced to the size it is drawn at while it is decoded: the
        // picture is never held at a larger size.
        return loadPreviewPicture(
            request.path, request.extLower,
            DecodeTarget{request.boxWidth, request.boxHeight, true, std::move(stop)});
    }
};

} // namespace

std::shared_ptr<PictureDecoder> makePictureDecoder() {
    return std::make_shared<CorePictureDecoder>();
}

} // namespace harpoly::ui
