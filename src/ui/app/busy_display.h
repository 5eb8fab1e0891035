#pragma once

#include "core/app/ui_ports.h"

namespace harpoly::ui {

class PreviewBox;
class Previewer;

// The busy indicator of a batch operation, shown on the preview area: the
// preview stopped, the area in the button-face colour, the progress bar `PB`
// on top and the hourglass cursor. An operation broken off by an error leaves
// it on until the next end().
class BusyDisplay : public BusyIndicator {
public:
    BusyDisplay(PreviewBox& box, Previewer& previewer) : box_(box), previewer_(previewer) {}

    void begin(int steps) override;
    void step() override;
    void end() override;

private:
    PreviewBox& box_;
    Previewer& previewer_;
};

} // namespace harpoly::ui
