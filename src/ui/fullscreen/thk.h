#pragma once

#include <QWidget>

namespace harpoly::ui {

// The shortcut-key dialog. Created hidden at start-up and only shown and
// hidden afterwards; the main window is disabled while it is shown and
// enabled again when it closes.
class THK : public QWidget {
    Q_OBJECT
public:
    explicit THK(QWidget* mainWindow, QWidget* parent = nullptr);

    // Sets `code` (a shortcut code) as the key of whichever hot-key field has
    // the focus; does nothing when none has it.
    void setFocusedFieldKey(int code);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* mainWindow_;
};

} // namespace harpoly::ui
