#include "ui/fullscreen/full_screen_menu.h"

#include "core/app/key_names.h"
#include "core/fullscreen/shortcut_code.h"

#include <QAction>
#include <QMenu>

namespace harpoly::ui {

namespace {

constexpr const char* kCaptions[] = {"進む", "戻る", "表示切替", "閉じる"};

void showKey(QAction* item, const char* caption, ShortcutCode code) {
    const std::string name = keyName(code);
    item->setText(QString::fromUtf8(caption) +
                  (name.empty() ? QString() : QStringLiteral("\t") + QString::fromStdString(name)));
    item->setData(static_cast<int>(code));
}

} // namespace

FullScreenMenu::FullScreenMenu(QWidget* owner) : menu_(new QMenu(owner)) {
    menu_->setObjectName(QStringLiteral("POP"));
    const char* names[] = {"N1", "N2", "N3", "N9"};
    for (int i = 0; i < 4; ++i) {
        QAction* item = menu_->addAction(QString::fromUtf8(kCaptions[i]));
        item->setObjectName(QString::fromLatin1(names[i]));
        item->setIconVisibleInMenu(false);
        items_[i] = item;
    }
    const ShortcutCode defaults[] = {vk::Return, vk::Back, vk::Insert};
    for (int i = 0; i < kChangeableKeys; ++i) {
        setShortcut(i, defaults[i]);
    }
    showKey(items_[Close], kCaptions[Close], vk::Escape);
}

QList<QAction*> FullScreenMenu::items() const {
    return {items_.begin(), items_.end()};
}

void FullScreenMenu::setShortcut(int index, ShortcutCode code) {
    shortcuts_.at(index) = code;
    showKey(items_.at(index), kCaptions[index], code);
}

} // namespace harpoly::ui
