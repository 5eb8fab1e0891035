#pragma once

#include "ui/app/tool_tabs.h"

#include <QTabWidget>
#include <vector>

namespace harpoly::ui {

class MainServices;

// The tool strip `Utility` along the bottom of the main window: one page per
// batch operation (TS1 ... TS9), in their order, each run through `main`.
class ToolStrip : public QTabWidget {
    Q_OBJECT
public:
    explicit ToolStrip(MainServices& main, QWidget* parent = nullptr);

    // Presses the action button of the page on show, as Enter in one of its
    // fields does; false when there is none to press.
    bool pressActionOnShow();

private:
    std::vector<ToolTab> tabs_;
};

} // namespace harpoly::ui
