#include "ui/browse/text_pane.h"

#include "ui/app/harpoly_application.h"
#include "ui/ui_font.h"

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QStackedLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>

namespace harpoly::ui {

namespace {

// How long one step of the loading may keep the event loop waiting.
constexpr int kStepMs = 15;
// What one piece of a step adds: bytes of a plain text file, characters of
// rich text (whose layout costs far more per character).
constexpr std::size_t kPlainPieceBytes = 64 << 10;
constexpr std::size_t kRichPieceChars = 4 << 10;

template <typename View> void setUpView(View* view) {
    view->setReadOnly(true);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setLineWrapMode(View::WidgetWidth);
}

QTextCursor endOf(QTextDocument* document) {
    QTextCursor cursor(document);
    cursor.movePosition(QTextCursor::End);
    return cursor;
}

Qt::Alignment alignmentOf(RtfAlignment alignment) {
    switch (alignment) {
    case RtfAlignment::Centre:
        return Qt::AlignHCenter;
    case RtfAlignment::Right:
        return Qt::AlignRight;
    case RtfAlignment::Justify:
        return Qt::AlignJustify;
    case RtfAlignment::Left:
        break;
    }
    return Qt::AlignLeft;
}

QTextCharFormat formatOf(const RtfRun& run) {
    QTextCharFormat format;
    if (!run.fontFamily.empty()) {
        format.setFontFamilies({QString::fromStdString(run.fontFamily)});
    }
    if (run.pointSize > 0) {
        format.setFontPointSize(run.pointSize);
    }
    if (run.bold) {
        format.setFontWeight(QFont::Bold);
    }
    format.setFontItalic(run.italic);
    format.setFontUnderline(run.underline);
    if (run.colour) {
        format.setForeground(QColor::fromRgb(*run.colour & 0xFFFFFFu));
    }
    return format;
}

} // namespace

TextPane::TextPane(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TXT"));
    setFont(uiFont(15));
    views_ = new QStackedLayout(this);
    views_->setContentsMargins(0, 0, 0, 0);
    plain_ = new QPlainTextEdit(this);
    setUpView(plain_);
    rich_ = new QTextEdit(this);
    setUpView(rich_);
    views_->addWidget(plain_);
    views_->addWidget(rich_);
    setFocusProxy(plain_);

    steps_.setInterval(0);
    connect(&steps_, &QTimer::timeout, this, [this] { runReported([this] { step(kStepMs); }); });
}

TextPane::~TextPane() = default;

void TextPane::load(const std::string& path, TextLimits limits) {
    clear();
    loader_ = std::make_unique<TextLoader>(path, limits);
    QWidget* view = loader_->rich() ? static_cast<QWidget*>(rich_) : plain_;
    views_->setCurrentWidget(view);
    setFocusProxy(view);
    // The first screen now, the rest from the event loop.
    step(0);
    if (loading()) {
        steps_.start();
    }
}

void TextPane::clear() {
    steps_.stop();
    loader_.reset();
    nextParagraph_ = 0;
    plain_->clear();
    rich_->clear();
    views_->setCurrentWidget(plain_);
    setFocusProxy(plain_);
}

QString TextPane::toPlainText() const {
    return views_->currentWidget() == rich_ ? rich_->toPlainText() : plain_->toPlainText();
}

QString TextPane::toHtml() const {
    return views_->currentWidget() == rich_ ? rich_->toHtml() : plain_->document()->toHtml();
}

void TextPane::step(int budgetMs) {
    QElapsedTimer spent;
    spent.start();
    try {
        do {
            if (!(loader_->rich() ? addRich() : addPlain())) {
                finish();
                return;
            }
        } while (spent.elapsed() < budgetMs);
    } catch (...) {
        // A read that fails ends the loading; what was shown stays.
        steps_.stop();
        loader_.reset();
        throw;
    }
}

bool TextPane::addPlain() {
    const std::string text = loader_->nextText(kPlainPieceBytes);
    if (!text.empty()) {
        endOf(plain_->document()).insertText(QString::fromStdString(text));
    }
    return !loader_->done();
}

bool TextPane::addRich() {
    const std::vector<RtfParagraph>& paragraphs = loader_->document().paragraphs;
    QTextCursor cursor = endOf(rich_->document());
    std::size_t added = 0;
    while (nextParagraph_ < paragraphs.size() && added < kRichPieceChars) {
        const RtfParagraph& paragraph = paragraphs[nextParagraph_];
        QTextBlockFormat block;
        block.setAlignment(alignmentOf(paragraph.alignment));
        if (nextParagraph_ == 0) {
            cursor.setBlockFormat(block);
        } else {
            cursor.insertBlock(block, QTextCharFormat());
        }
        for (const RtfRun& run : paragraph.runs) {
            QString text = QString::fromStdString(run.text);
            text.replace(QLatin1Char('\n'), QChar::LineSeparator); // a line break, not a paragraph
            cursor.insertText(text, formatOf(run));
            added += run.text.size();
        }
        ++nextParagraph_;
        ++added; // an empty paragraph costs a line too
    }
    return nextParagraph_ < paragraphs.size();
}

void TextPane::finish() {
    const std::string note = loader_->endNote();
    steps_.stop();
    loader_.reset();
    if (!note.empty()) {
        QTextDocument* document =
            views_->currentWidget() == rich_ ? rich_->document() : plain_->document();
        QTextCursor cursor = endOf(document);
        if (cursor.block().text().isEmpty()) {
            cursor.setBlockFormat(QTextBlockFormat());
        } else {
            cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
        }
        cursor.insertText(QString::fromStdString(note), QTextCharFormat());
    }
    emit loaded();
}

} // namespace harpoly::ui
