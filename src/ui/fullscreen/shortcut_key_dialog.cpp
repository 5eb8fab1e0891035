#include "ui/fullscreen/shortcut_key_dialog.h"

#include "core/fullscreen/shortcut_code.h"
#include "ui/fullscreen/hot_key_edit.h"
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

ShortcutKeyDialog::ShortcutKeyDialog(QWidget* mainWindow, QWidget* parent)
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
    label("HL", "全画面表示のショートカットキーの変更", 10, 10);
    const char* captions[] = {"進む", "戻る", "表示切替"};
    for (int i = 0; i < 3; ++i) {
        const QByteArray n = QByteArray::number(i + 1);
        label(("HL" + n).constData(), captions[i], 10, 33 + 25 * i);
        fields_[i] = field(("HK" + n).constData(), 70, 30 + 25 * i);
    }
    QPushButton* confirmButton = button("BHKent", "決定", 10, 105);
    QPushButton* cancelButton = button("BHKesc", "戻る", 90, 105);
    setTabOrder(fields_[0], fields_[1]);
    setTabOrder(fields_[1], fields_[2]);
    setTabOrder(fields_[2], confirmButton);
    setTabOrder(confirmButton, cancelButton);

    connect(confirmButton, &QPushButton::clicked, this, &ShortcutKeyDialog::confirm);
    connect(cancelButton, &QPushButton::clicked, this, &ShortcutKeyDialog::cancel);
}

void ShortcutKeyDialog::setKeyStore(KeyReader read, KeyWriter write) {
    readKey_ = std::move(read);
    writeKey_ = std::move(write);
}

void ShortcutKeyDialog::setFocusedFieldKey(int code) {
    for (HotKeyEdit* f : fields_) {
        if (f->hasFocus()) {
            f->setKey(static_cast<ShortcutCode>(code));
        }
    }
}

void ShortcutKeyDialog::showKeys() {
    for (int i = 0; readKey_ && i < 3; ++i) {
        fields_[i]->setKey(readKey_(i));
    }
    fields_[0]->setFocus(Qt::OtherFocusReason);
}

void ShortcutKeyDialog::confirm() {
    for (int i = 0; writeKey_ && i < 3; ++i) {
        writeKey_(i, fields_[i]->key());
    }
    cancel();
}

void ShortcutKeyDialog::cancel() {
    hide();
    if (mainWindow_ != nullptr) {
        mainWindow_->setEnabled(true);
        mainWindow_->activateWindow();
    }
}

bool ShortcutKeyDialog::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        showKeys();
    }
    return QWidget::event(event);
}

bool ShortcutKeyDialog::eventFilter(QObject* watched, QEvent* event) {
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

void ShortcutKeyDialog::showEvent(QShowEvent* event) {
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
        showKeys();
    }
}

void ShortcutKeyDialog::closeEvent(QCloseEvent* event) {
    // The window manager's close acts as the cancel button, so the main
    // window is never left disabled.
    cancel();
    event->accept();
}

} // namespace harpoly::ui
