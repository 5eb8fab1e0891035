#include "ui/app/tab_page.h"

#include <QPushButton>
#include <QWidget>

namespace harpoly::ui {

ToolTab makeBareTab(const QString& name, const QString& caption, const QString& hint,
                    const QString& actionText) {
    ToolTab tab;
    tab.page = new QWidget; // ownership passes to the tab widget
    tab.page->setObjectName(name);
    tab.page->setToolTip(hint);
    tab.action = new QPushButton(actionText, tab.page);
    tab.action->setObjectName(QStringLiteral("BEnt") + name.mid(2));
    tab.action->setDefault(true);
    tab.name = name;
    tab.caption = caption;
    tab.hint = hint;
    return tab;
}

} // namespace harpoly::ui
