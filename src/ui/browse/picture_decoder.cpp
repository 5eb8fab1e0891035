#include "ui/browse/picture_decoder.h"

#include "core/imaging/picture_loader.h"

namespace harpoly::ui {

namespace {

class CorePictureDecoder : public PictureDecoder {
public:
    DecodedPicture decode(const PictureRequest& request, std::stop_token stop) override {
        return loadPreviewPicture(request.path, request.extLower, request.boxWidth,
                                  request.boxHeight, std::move(stop));
    }
};

} // namespace

std::shared_ptr<PictureDecoder> makePictureDecoder() {
    return std::make_shared<CorePictureDecoder>();
}

} // namespace harpoly::ui
