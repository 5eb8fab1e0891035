#include "ui/app/tool_strip.h"

#include <QPushButton>
#include <QTabBar>

namespace harpoly::ui {

ToolStrip::ToolStrip(MainServices& main, QWidget* parent) : QTabWidget(parent) {
    setObjectName(QStringLiteral("Utility"));
    setTabPosition(QTabWidget::South);
    setDocumentMode(true);
    setFixedHeight(49);
    // The pages are clipped by a narrow window rather than holding it wide.
    setMinimumWidth(1);
    // Narrow padding keeps all nine tabs in view at the window's default
    // width, with no scroll arrows.
    tabBar()->setStyleSheet(QStringLiteral("QTabBar::tab { height: 15px; padding: 0px 4px; }"));

    using Factory = ToolTab (*)(MainServices&);
    const Factory factories[] = {makeRename1Tab,   makeRename2Tab,   makeRename3Tab,
                                 makeExtensionTab, makeLinkTab,      makeJpegSize1Tab,
                                 makeJpegSize2Tab, makeTimestampTab, makeIconTab};
    for (Factory make : factories) {
        ToolTab tab = make(main);
        const int index = addTab(tab.page, tab.caption);
        setTabToolTip(index, tab.hint);
        tabs_.push_back(tab);
    }
    setCurrentIndex(0);
}

bool ToolStrip::pressActionOnShow() {
    const int tab = currentIndex();
    if (tab < 0 || tab >= static_cast<int>(tabs_.size()) || tabs_[tab].action == nullptr ||
        !tabs_[tab].action->isEnabled()) {
        return false;
    }
    tabs_[tab].action->click();
    return true;
}

} // namespace harpoly::ui
