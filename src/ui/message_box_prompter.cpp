#include "ui/message_box_prompter.h"

#include <QMessageBox>

namespace harpoly::ui {

bool MessageBoxPrompter::ask(const std::string& question, const std::string& caption,
                             const std::string& detail) {
    QMessageBox box(QMessageBox::Question, QString::fromStdString(caption),
                    QString::fromStdString(question), QMessageBox::Ok | QMessageBox::Cancel,
                    parent_);
    box.setWindowModality(Qt::ApplicationModal);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Cancel);
    if (!detail.empty()) {
        box.setDetailedText(QString::fromStdString(detail));
    }
    return box.exec() == QMessageBox::Ok;
}

void MessageBoxPrompter::notice(const std::string& text, const std::string& caption) {
    QMessageBox box(QMessageBox::Information, QString::fromStdString(caption),
                    QString::fromStdString(text), QMessageBox::Ok, parent_);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

} // namespace harpoly::ui
