#include "ui/browse/previewer.h"

#include "core/browse/preview.h"
#include "core/imaging/metafile_reader.h"
#include "core/imaging/picture_loader.h"
#include "ui/browse/image_pane.h"
#include "ui/browse/media_preview.h"
#include "ui/browse/preview_box.h"
#include "ui/browse/preview_images.h"
#include "ui/browse/preview_status.h"
#include "ui/browse/text_pane.h"

namespace harpoly::ui {

Previewer::Previewer(PreviewBox& box, QWidget& home, PreviewStatus& status)
    : box_(box), status_(status), media_(new MediaPreview(box, home, status)) {}

void Previewer::stopPreview() {
    box_.clearPanes();
    media_->stop();
}

bool Previewer::mediaOpen() const {
    return media_->isOpen();
}

void Previewer::previewEntry(const PreviewRequest& request) {
    // The information line stays until one of the ways in show() writes it.
    stopPreview();
    status_.showElapsed({});
    const PreviewPlan plan = planPreview(request.folder, request.name, request.previewOff, lists_);
    // The full-screen name panel follows the chosen file; with none chosen it
    // keeps what it showed.
    if (plan.fileChosen) {
        status_.showFullScreenName(QString::fromStdString(plan.fullScreenNameText));
    }
    show(plan, request.autoPlay);
}

void Previewer::show(const PreviewPlan& plan, bool autoPlay) {
    switch (plan.show) {
    case PreviewShow::Nothing:
        status_.showInfo(plan.infoLine);
        break;
    case PreviewShow::Text: {
        status_.showInfo(plan.sizeText);
        box_.textPane()->load(plan.path);
        box_.textPane()->show();
        break;
    }
    case PreviewShow::Media:
        media_->open(plan.path, plan.sizeText, autoPlay);
        break;
    case PreviewShow::Image: {
        if (isMetafileExtension(plan.extLower)) {
            showMetafile(readMetafileFile(plan.path), plan.sizeText);
            break;
        }
        // A JPEG is decoded at the smallest scale that still fills the box.
        const QSize need =
            box_.picturePane()->mode() == PictureMode::Fit ? box_.paneSize() : QSize(0, 0);
        showPicture(loadPreviewPicture(plan.path, plan.extLower, need.width(), need.height()),
                    plan.sizeText);
        break;
    }
    case PreviewShow::Icon:
        showPicture(loadIconPreview(plan.path), plan.sizeText);
        break;
    }
}

void Previewer::showMetafile(Metafile picture, const std::string& sizeText) {
    status_.showInfo(pictureInfoLine(picture.width, picture.height, sizeText));
    ImagePane* pane = box_.picturePane();
    pane->setMetafile(std::make_shared<const Metafile>(std::move(picture)));
    pane->show();
}

void Previewer::showPicture(const DecodedPicture& picture, const std::string& sizeText) {
    status_.showInfo(pictureInfoLine(picture.width, picture.height, sizeText));
    ImagePane* pane = box_.picturePane();
    pane->setPicture(toQImage(picture.image), picture.width, picture.height);
    pane->show();
}

} // namespace harpoly::ui
