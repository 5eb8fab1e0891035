// The preview operation of the main window and the information-line writer.
#include "ui/app/harpoly_application.h"
#include "ui/app/panel_bar.h"
#include "ui/app/ta.h"
#include "ui/browse/file_list_item_model.h"
#include "ui/browse/image_pane.h"
#include "core/browse/preview.h"
#include "ui/browse/preview_box.h"
#include "ui/browse/preview_images.h"
#include "core/browse/text_preview.h"
#include "ui/fullscreen/tfull.h"
#include "core/imaging/picture_loader.h"

#include <QCheckBox>
#include <QListView>
#include <QTextEdit>
#include <QTimer>

namespace harpoly::ui {

void TA::FLClick() {
    // Undo every trace of the last preview. The information line stays until
    // one of the ways below writes it.
    BOX->clearPanes();
    closeMedia();
    TM->stop();
    SF->setText(2, {});
    if (fullScreenOn()) {
        full_->setStatusText(2, {});
    }
    FL->setFocus();

    const FileListItemModel& list = *listModel_;
    std::optional<std::string> current;
    if (list.count() > 0 && list.currentIndex() >= 0) {
        current = SelectedName(-1);
    }
    const PreviewPlan plan = planPreview(displayFolder_, current, PV->isChecked(), lists_);
    // The full-screen name panel follows the chosen file; with none chosen it
    // keeps what it showed.
    if (fullScreenOn() && plan.fileChosen) {
        full_->setStatusText(0, QString::fromStdString(plan.fullScreenNameText));
    }

    switch (plan.show) {
    case PreviewShow::Nothing:
        SetInfoText(plan.infoLine);
        break;
    case PreviewShow::Text: {
        SetInfoText(plan.sizeText);
        const TextPreview text = loadTextPreview(plan.path);
        showTextPreview(*TXT, text);
        TXT->show();
        break;
    }
    case PreviewShow::Media:
        openMediaPreview(plan.path, plan.sizeText);
        break;
    case PreviewShow::Image: {
        // A JPEG is decoded at the smallest scale that still fills the box.
        const QSize need = IMG->mode() == PictureMode::Fit ? BOX->paneSize() : QSize(0, 0);
        const DecodedPicture picture =
            loadPreviewPicture(plan.path, plan.extLower, need.width(), need.height());
        SetInfoText(pictureInfoLine(picture.width, picture.height, plan.sizeText));
        showPicture(picture);
        break;
    }
    case PreviewShow::Icon: {
        const DecodedPicture icon = loadIconPreview(plan.path);
        SetInfoText(pictureInfoLine(icon.width, icon.height, plan.sizeText));
        showPicture(icon);
        break;
    }
    }
}

void TA::showPicture(const DecodedPicture& picture) {
    IMG->setPicture(toQImage(picture.image), picture.width, picture.height);
    IMG->show();
}

void TA::previewCurrent() {
    runReported([this] { FLClick(); });
}

void TA::SetInfoText(const std::string& text) {
    const QString shown = QString::fromStdString(text);
    SF->setText(1, shown);
    if (fullScreenOn()) {
        full_->setStatusText(1, shown);
    }
}

} // namespace harpoly::ui
