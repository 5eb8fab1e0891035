#include "ui/fullscreen/thk.h"

#include "ui/fullscreen/hot_key_edit.h"
#include "core/fullscreen/shortcut_code.h"
#include "ui/ui_font.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QWindow>

namespace harpoly::ui {

namespace {

// Backspace, Enter, Esc and Space: a key-capture field cannot take them by
// itself, and they must neither press the buttons nor close the dialog.
int dialogKeyOf(const QKeyEvent& event) {
    switch (event.key()) {
    case Qt::Key_Backspace:
        return vk::Back;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return vk::Return;
    case Qt::Key_Escape:
        return vk::Escape;
    case Qt::Key_Space:
        return vk::Space;
    default:
        return 0;
    }
}

} // namespace

THK::THK(QWidget* mainWindow, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      mainWindow_(mainWindow) {
    setObjectName(QStringLiteral("THK"));
    setWindowTitle(QStringLiteral("設定"));
    setFont(uiFont(12));
    setFixedSize(242, 136);

    const auto label = [this](const char* name, const char* text, int x, int y) {
        auto* l = new QLabel(QString::fromUtf8(text), this);
        l->setObjectName(QString::fromLatin1(name));
        l->move(x, y);
        l->adjustSize();
        return l;
    };
    const auto field = [this](const char* name, int x, int y) {
        auto* f = new HotKeyEdit(this);
        f->setObjectName(QString::fromLatin1(name));
        f->setGeometry(x, y, 121, 18);
        f->installEventFilter(this);
        return f;
    };
    const auto button = [this](const char* name, const char* text, int x, int y) {
        auto* b = new QPushButton(QString::fromUtf8(text), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(x, y, 75, 25);
        b->setAutoDefault(false);
        b->setDefault(false);
        b->installEventFilter(this);
        return b;
    };
    HL = label("HL", "全画面表示のショートカットキーの変更", 10, 10);
    HL1 = label("HL1", "進む", 10, 33);
    HK1 = field("HK1", 70, 30);
    HL2 = label("HL2", "戻る", 10, 58);
    HK2 = field("HK2", 70, 55);
    HL3 = label("HL3", "表示切替", 10, 83);
    HK3 = field("HK3", 70, 80);
    BHKent = button("BHKent", "決定", 10, 105);
    BHKesc = button("BHKesc", "戻る", 90, 105);
    setTabOrder(HK1, HK2);
    setTabOrder(HK2, HK3);
    setTabOrder(HK3, BHKent);
    setTabOrder(BHKent, BHKesc);

    connect(BHKent, &QPushButton::clicked, this, &THK::BHKentClick);
    connect(BHKesc, &QPushButton::clicked, this, &THK::BHKescClick);
}

void THK::setKeyStore(KeyReader read, KeyWriter write) {
    readKey_ = std::move(read);
    writeKey_ = std::move(write);
}

void THK::setFocusedFieldKey(int code) {
    for (HotKeyEdit* f : {HK1, HK2, HK3}) {
        if (f->hasFocus()) {
            f->setKey(static_cast<ShortcutCode>(code));
        }
    }
}

void THK::FormActivate() {
    if (readKey_) {
        HK1->setKey(readKey_(0));
        HK2->setKey(readKey_(1));
        HK3->setKey(readKey_(2));
    }
    HK1->setFocus(Qt::OtherFocusReason);
}

void THK::BHKentClick() {
    if (writeKey_) {
        writeKey_(0, HK1->key());
        writeKey_(1, HK2->key());
        writeKey_(2, HK3->key());
    }
    BHKescClick();
}

void THK::BHKescClick() {
    hide();
    if (mainWindow_ != nullptr) {
        mainWindow_->setEnabled(true);
        mainWindow_->activateWindow();
    }
}

bool THK::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        FormActivate();
    }
    return QWidget::event(event);
}

bool THK::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) {
        const int key = dialogKeyOf(*static_cast<QKeyEvent*>(event));
        if (key != 0) {
            if (event->type() == QEvent::KeyPress) {
                setFocusedFieldKey(key); // the bare key, whatever modifiers are held
            }
            event->accept();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void THK::showEvent(QShowEvent* event) {
    // Kept above the main window, centred over it.
    if (mainWindow_ != nullptr && windowHandle() != nullptr) {
        windowHandle()->setTransientParent(mainWindow_->window()->windowHandle());
    }
    if (mainWindow_ != nullptr && !event->spontaneous()) {
        const QRect frame = mainWindow_->frameGeometry();
        move(frame.center() - QPoint(width() / 2, height() / 2));
    }
    QWidget::showEvent(event);
    if (!event->spontaneous()) {
        // Shown means active: the fields are loaded now, not only once the
        // window system gets round to activating the dialog.
        activateWindow();
        FormActivate();
    }
}

void THK::closeEvent(QCloseEvent* event) {
    // The window manager's close acts as the cancel button, so the main
    // window is never left disabled.
    BHKescClick();
    event->accept();
}

} // namespace harpoly::ui
