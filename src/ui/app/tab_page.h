#pragma once

#include "ui/app/tool_tabs.h"

namespace harpoly::ui {

// A bare tool page with its caption, hint and action button: the start of every
// tab factory.
ToolTab makeBareTab(const QString& name, const QString& caption, const QString& hint,
                    const QString& actionText);

} // namespace harpoly::ui
