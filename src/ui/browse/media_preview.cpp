#include "ui/browse/media_preview.h"

#include "core/browse/media_text.h"
#include "core/browse/preview.h"
#include "ui/app/harpoly_application.h"
#include "ui/browse/preview_box.h"
#include "ui/browse/preview_status.h"

#include <QSlider>
#include <QTimer>

namespace harpoly::ui {

MediaPreview::MediaPreview(PreviewBox& box, QWidget& home, PreviewStatus& status)
    : QObject(&home), box_(box), home_(home), status_(status) {
    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("TM"));
    timer_->setInterval(500);

    connect(box_.player(), &MediaPlayer::clicked, this,
            [this](MediaPlayer::Button button) { runReported([&] { buttonPressed(button); }); });
    connect(box_.slider(), &QSlider::valueChanged, this,
            [this] { runReported([this] { sliderMoved(); }); });
    connect(timer_, &QTimer::timeout, this, [this] { runReported([this] { showPosition(); }); });
}

bool MediaPreview::onHomeWindow() const {
    return box_.window() == &home_;
}

void MediaPreview::open(const std::string& path, const std::string& sizeText, bool autoPlay) {
    MediaPlayer* player = box_.player();
    QSlider* slider = box_.slider();
    // A file the player refuses raises EMCIDeviceError here: the panel stays
    // hidden and the timer stopped.
    player->open(path);
    const std::int64_t length = player->length();
    const QSize video = player->videoSize(); // empty for sound only: described as 0 by 0
    status_.showInfo(mediaInfoLine(video.width(), video.height(), sizeText, length));
    box_.mediaPanel()->show();
    slider->setRange(0, sliderMaximum(length));
    slider->setValue(0);
    // The video's place: stretched over the whole preview area in full-screen
    // view (following its size), else at 10, 40 at its own size. It lies
    // under the buttons and the slider.
    if (onHomeWindow()) {
        player->setFillDisplay(false);
        player->setDisplayRect(QRect(QPoint(10, 40), video));
    } else {
        player->setFillDisplay(true);
    }
    timer_->start();
    if (autoPlay) {
        player->play();
    }
}

void MediaPreview::stop() {
    box_.player()->close();
    timer_->stop();
}

bool MediaPreview::isOpen() const {
    return box_.player()->isOpen();
}

void MediaPreview::buttonPressed(MediaPlayer::Button button) {
    if (onHomeWindow()) {
        box_.player()->setFocus(Qt::OtherFocusReason); // the slider no longer has the focus
    }
    switch (button) {
    case MediaPlayer::Button::Play:
        timer_->start();
        break;
    case MediaPlayer::Button::Stop:
        timer_->stop();
        break;
    case MediaPlayer::Button::Back:
        timer_->stop();
        box_.player()->seek(0);
        box_.slider()->setValue(0);
        break;
    }
    // The player performs the button's own action after this returns.
}

void MediaPreview::sliderMoved() {
    // Only the user's own move of the slider seeks; the timer's updates of
    // the slider must not move the media. The focus test is against the main
    // window, so the slider never seeks in full-screen view.
    QSlider* slider = box_.slider();
    if (slider->window() == &home_ && home_.focusWidget() == slider) {
        box_.player()->seek(static_cast<std::int64_t>(slider->value()) * 1000);
    }
}

void MediaPreview::showPosition() {
    const std::int64_t position = box_.player()->position();
    box_.slider()->setValue(sliderPosition(position));
    status_.showElapsed(QString::fromStdString(elapsedText(position)));
}

} // namespace harpoly::ui
