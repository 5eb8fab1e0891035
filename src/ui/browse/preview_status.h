#pragma once

#include <QString>
#include <string>

namespace harpoly::ui {

// Where a preview writes what it finds out: the status panels of the main
// window and, while full-screen view is on, those of the full-screen window.
class PreviewStatus {
public:
    virtual ~PreviewStatus() = default;
    // The information line (size, pixel size, playing time, error).
    virtual void showInfo(const std::string& text) = 0;
    // The elapsed playing time; empty when nothing plays.
    virtual void showElapsed(const QString& text) = 0;
    // The name panel of the full-screen window; ignored while that is off.
    virtual void showFullScreenName(const QString& text) = 0;
};

} // namespace harpoly::ui
