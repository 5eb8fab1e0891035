#pragma once

#include <QWidget>

namespace harpoly::ui {

// The full-screen window. Created hidden at start-up; the preview box moves
// onto it while full-screen view is on.
class TFull : public QWidget {
    Q_OBJECT
public:
    explicit TFull(QWidget* parent = nullptr);

    // Writes a panel of the window's status bar (0 file name, 1 information,
    // 2 elapsed time).
    void setStatusText(int panel, const QString& text);
};

} // namespace harpoly::ui
