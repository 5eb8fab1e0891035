// Media playback in the main window: opening a media file for the preview,
// the player's buttons, the position slider and the 500 ms position timer.
#include "ui/app/harpoly_application.h"
#include "ui/app/panel_bar.h"
#include "ui/app/ta.h"
#include "ui/browse/media_player.h"
#include "core/browse/media_text.h"
#include "core/browse/preview.h"
#include "ui/browse/preview_box.h"
#include "ui/fullscreen/tfull.h"

#include <QCheckBox>
#include <QSlider>
#include <QTimer>

namespace harpoly::ui {

void TA::connectMedia() {
    connect(MPC, &MediaPlayer::clicked, this, [this](MediaPlayer::Button button) {
        runReported([&] { MPCClick(static_cast<int>(button)); });
    });
    connect(MPt, &QSlider::valueChanged, this, [this] { runReported([this] { MPtChange(); }); });
    connect(TM, &QTimer::timeout, this, [this] { runReported([this] { TMTimer(); }); });
}

void TA::openMediaPreview(const std::string& path, const std::string& sizeText) {
    // A file the player refuses raises EMCIDeviceError here: the panel stays
    // hidden and the timer stopped.
    MPC->open(path);
    const std::int64_t length = MPC->length();
    const QSize video = MPC->videoSize(); // empty for sound only: described as 0 by 0
    SetInfoText(mediaInfoLine(video.width(), video.height(), sizeText, length));
    MPP->show();
    MPt->setRange(0, sliderMaximum(length));
    MPt->setValue(0);
    // The video's place: stretched over the whole preview area in full-screen
    // view (following its size), else at 10, 40 at its own size. It lies
    // under the buttons and the slider.
    if (fullScreenOn()) {
        MPC->setFillDisplay(true);
    } else {
        MPC->setFillDisplay(false);
        MPC->setDisplayRect(QRect(QPoint(10, 40), video));
    }
    TM->start();
    if (pM->isChecked()) {
        MPC->play();
    }
}

void TA::MPCClick(int button) {
    if (!fullScreenOn()) {
        MPC->setFocus(Qt::OtherFocusReason); // the slider no longer has the focus
    }
    switch (static_cast<MediaPlayer::Button>(button)) {
    case MediaPlayer::Button::Play:
        TM->start();
        break;
    case MediaPlayer::Button::Stop:
        TM->stop();
        break;
    case MediaPlayer::Button::Back:
        TM->stop();
        MPC->seek(0);
        MPt->setValue(0);
        break;
    }
    // The player performs the button's own action after this returns.
}

void TA::MPtChange() {
    // Only the user's own move of the slider seeks; the timer's updates of
    // the slider must not move the media. The focus test is against the main
    // window, so the slider never seeks in full-screen view.
    if (focusWidget() == MPt && MPt->window() == this) {
        MPC->seek(static_cast<std::int64_t>(MPt->value()) * 1000);
    }
}

void TA::TMTimer() {
    const std::int64_t position = MPC->position();
    MPt->setValue(sliderPosition(position));
    const QString text = QString::fromStdString(elapsedText(position));
    SF->setText(2, text);
    if (fullScreenOn()) {
        full_->setStatusText(2, text);
    }
}

} // namespace harpoly::ui
