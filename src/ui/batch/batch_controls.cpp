#include "ui/batch/batch_controls.h"

#include "core/app/error_text.h"
#include "core/app/number_field.h"
#include "core/platform/code_page.h"
#include "core/platform/file_move.h"
#include "ui/app/harpoly_application.h"
#include "ui/app/main_services.h"
#include "ui/app/tool_tabs.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringEncoder>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace harpoly::ui {

QHBoxLayout* startRow(const ToolTab& tab) {
    auto* row = new QHBoxLayout(tab.page);
    row->setContentsMargins(8, 8, 8, 8);
    return row;
}

void finishRow(QHBoxLayout* row, const ToolTab& tab) {
    row->addWidget(tab.action);
    row->addStretch(1);
}

QLineEdit* addLabelledEdit(QBoxLayout* row, const QString& name, const QString& label,
                           const QString& hint, bool labelAfter) {
    auto* edit = new QLineEdit;
    edit->setObjectName(name);
    edit->setToolTip(hint);
    auto* caption = new QLabel(label);
    caption->setObjectName(name + QStringLiteral("Label"));
    caption->setBuddy(edit);
    if (labelAfter) {
        row->addWidget(edit);
        row->addWidget(caption);
    } else {
        row->addWidget(caption);
        row->addWidget(edit);
    }
    return edit;
}

QComboBox* addDropDown(QBoxLayout* row, const QString& name, const QStringList& items,
                       int current) {
    auto* box = new QComboBox;
    box->setObjectName(name);
    box->setEditable(false);
    box->addItems(items);
    box->setCurrentIndex(current);
    row->addWidget(box);
    return box;
}

UpDown::UpDown(QLineEdit* buddy, int minimum, int maximum, QWidget* parent)
    : QWidget(parent), buddy_(buddy), minimum_(minimum), maximum_(maximum),
      position_(
          std::clamp(readNumberField(buddy->text().toStdString(), minimum), minimum, maximum)) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* up = new QToolButton(this);
    up->setArrowType(Qt::UpArrow);
    up->setObjectName(QStringLiteral("up"));
    auto* down = new QToolButton(this);
    down->setArrowType(Qt::DownArrow);
    down->setObjectName(QStringLiteral("down"));
    for (auto* button : {up, down}) {
        button->setAutoRepeat(true);
        button->setFixedSize(16, 11);
        column->addWidget(button);
    }
    connect(up, &QToolButton::clicked, this, [this] { stepBy(1); });
    connect(down, &QToolButton::clicked, this, [this] { stepBy(-1); });
}

void UpDown::stepBy(int steps) {
    const std::int64_t typed = readNumberField(buddy_->text().toStdString(), position_);
    const std::int64_t next = std::clamp<std::int64_t>(typed + steps, minimum_, maximum_);
    position_ = static_cast<int>(next);
    buddy_->setText(QString::number(position_));
}

std::string nameBytes(const QString& text) {
    QStringEncoder encoder(systemCodePage().name());
    const QByteArray bytes = encoder.isValid() ? QByteArray(encoder.encode(text)) : text.toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

BatchPorts batchPorts(MainServices& main) {
    return {main.fileList(), main.prompter(), main.busy(), moveFileNoReplace, systemCodePage()};
}

void runReportingErrors(MainServices& main, const std::function<void()>& operation) {
    // Every exception stops here, not only our own errors: one that escaped
    // would unwind through the toolkit's signal and event code.
    try {
        operation();
    } catch (...) {
        main.showInfo(errorInfoLine(currentExceptionKind()));
    }
}

} // namespace harpoly::ui
