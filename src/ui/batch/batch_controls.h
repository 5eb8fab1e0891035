#pragma once

#include "core/batch/batch_ports.h"

#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <string>

class QBoxLayout;
class QHBoxLayout;
class QComboBox;
class QLineEdit;

namespace harpoly::ui {

class MainServices;
struct ToolTab;

// The row that holds a tab's controls, left to right; finishRow puts the
// tab's action button at its end.
QHBoxLayout* startRow(const ToolTab& tab);
void finishRow(QHBoxLayout* row, const ToolTab& tab);

// The controls the batch tabs are built from, each named after its control.

// A labelled edit: the label before the field, or after it when labelAfter.
QLineEdit* addLabelledEdit(QBoxLayout* row, const QString& name, const QString& label,
                           const QString& hint, bool labelAfter = false);

// A drop-down list with no free text, showing item `current`.
QComboBox* addDropDown(QBoxLayout* row, const QString& name, const QStringList& items,
                       int current = 0);

// An up-down bound to a number field: each arrow reads the field (keeping the
// last position when the field does not read as a number), steps by one
// within [minimum, maximum] without wrapping, and writes the position back in
// plain decimal. A value typed into the field is not limited to the range.
class UpDown : public QWidget {
public:
    UpDown(QLineEdit* buddy, int minimum, int maximum, QWidget* parent = nullptr);
    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    int position() const { return position_; }
    void stepBy(int steps);

private:
    QLineEdit* buddy_;
    int minimum_, maximum_, position_;
};

// Bytes of a typed text as file names hold them (the system code page).
std::string nameBytes(const QString& text);

// What a batch operation of the tool strip is handed.
BatchPorts batchPorts(MainServices& main);

// Runs a batch operation; an error it raises is written into the information
// panel as the application-wide handler writes it, and goes no further.
void runReportingErrors(MainServices& main, const std::function<void()>& operation);

} // namespace harpoly::ui
