#pragma once

#include "core/app/ui_ports.h"

class QWidget;

namespace harpoly::ui {

// The two prompts as real modal message boxes: ask() with OK and Cancel and
// the question icon, notice() with OK and the information icon. Both are
// application-modal, so no window of the program takes input meanwhile.
class MessageBoxPrompter : public Prompter {
public:
    explicit MessageBoxPrompter(QWidget* parent) : parent_(parent) {}
    bool ask(const std::string& question, const std::string& caption,
             const std::string& detail = {}) override;
    void notice(const std::string& text, const std::string& caption) override;

private:
    QWidget* parent_;
};

} // namespace harpoly::ui
