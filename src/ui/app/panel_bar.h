#pragma once

#include <QFrame>
#include <QList>

class QLabel;

namespace harpoly::ui {

// A status bar of text panels of fixed widths, the last one reaching to the
// right edge. Panels are laid out by hand so that a narrow window clips them
// instead of being held wide by them.
class PanelBar : public QFrame {
    Q_OBJECT
public:
    // `widths` gives every panel but the last.
    PanelBar(const QString& name, QList<int> widths, int height, QWidget* parent = nullptr);

    void setText(int panel, const QString& text);
    QString text(int panel) const;
    QLabel* panel(int index) const { return panels_.at(index); }
    int panelCount() const { return static_cast<int>(panels_.size()); }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QList<int> widths_;
    QList<QLabel*> panels_;
};

} // namespace harpoly::ui
