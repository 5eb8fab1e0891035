#pragma once

#include "core/browse/text_loader.h"

#include <QTimer>
#include <QWidget>
#include <memory>
#include <string>

class QPlainTextEdit;
class QStackedLayout;
class QTextEdit;

namespace harpoly::ui {

// The text pane `TXT`: read-only, lines wrapped at its width, a vertical
// scroll bar only, in the pane's font. Plain text goes into a plain-text
// view, which lays out only what it shows, so that a log file of a hundred
// megabytes stays usable; rich text goes formatted into a rich-text view.
//
// A file is shown whole: its first screen at once, the rest added in steps
// from the event loop, each a few milliseconds long, so that the window
// stays responsive while a big file loads. Clearing the pane (a new preview)
// stops the loading. When the file is not shown whole (beyond the limits, or
// changed while it loaded) the last line says so.
class TextPane : public QWidget {
    Q_OBJECT
public:
    explicit TextPane(QWidget* parent = nullptr);
    ~TextPane() override;

    // Shows the file at `path`. Throws Error(kind::FOpen) when it cannot be
    // opened, as TextLoader does; the pane is then left empty.
    void load(const std::string& path, TextLimits limits = {});
    // Empties the pane and stops the loading.
    void clear();
    // Whether steps of the loading are still to come.
    bool loading() const { return loader_ != nullptr; }

    QString toPlainText() const;
    QString toHtml() const;
    QPlainTextEdit* plainView() const { return plain_; }
    QTextEdit* richView() const { return rich_; }

signals:
    // The loading has ended: the file is in, as far as it is shown.
    void loaded();

private:
    // Adds text for about `budget` milliseconds; at the end, the note.
    void step(int budgetMs);
    bool addPlain();
    bool addRich();
    void finish();

    QStackedLayout* views_ = nullptr;
    QPlainTextEdit* plain_ = nullptr;
    QTextEdit* rich_ = nullptr;
    std::unique_ptr<TextLoader> loader_;
    std::size_t nextParagraph_ = 0;
    QTimer steps_;
};

} // namespace harpoly::ui
