// The text pane shows a whole text file: the first screen at once, the rest
// in steps from the event loop; a new preview stops the loading; the last
// line tells what is not shown.
#include "window_rig.h"

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextEdit>

namespace t = harpoly::test;
using harpoly::ui::TextPane;

namespace {

constexpr int kLoadWait = 120000; // a 20 MB file on a busy machine

// About `megabytes` of numbered lines, the last one "最後の行".
void writeLog(const std::string& path, int megabytes) {
    std::string text;
    text.reserve(static_cast<std::size_t>(megabytes) << 20);
    for (int i = 0; text.size() < (static_cast<std::size_t>(megabytes) << 20); ++i) {
        text += "2026-12-11 01:11:14 行 " + std::to_string(i) + " の記録です\r\n";
    }
    t::writeFile(path, text + "最後の行\r\n");
}

} // namespace

class TextPaneTest : public QObject {
    Q_OBJECT

private slots:
    void aBigTextFileIsShownWholeWhileTheWindowStaysResponsive() {
        t::StartedWindows w(
            [](const QString& folder) { writeLog(folder.toStdString() + "/log.txt", 20); });
        // The first screen is there as soon as the preview returns.
        QVERIFY(w.TXT->isVisible());
        QVERIFY(w.TXT->loading());
        QVERIFY(w.TXT->toPlainText().startsWith("2026-12-11 01:11:14 行 0 の記録です\n"));
        // The event loop runs while the rest comes in.
        int ticks = 0;
        QTimer ticking;
        ticking.setInterval(10);
        connect(&ticking, &QTimer::timeout, [&] { ++ticks; });
        ticking.start();
        QTRY_VERIFY_WITH_TIMEOUT(!w.TXT->loading(), kLoadWait);
        QVERIFY2(ticks > 5, qPrintable(QString::number(ticks)));
        const QString text = w.TXT->toPlainText();
        QVERIFY(text.endsWith(QStringLiteral("\n最後の行\n")));
        QVERIFY(!text.contains(QLatin1Char('\r')));
        QCOMPARE(w.info(), QStringLiteral(" サイズ 20.97MB"));
    }

    void aNewPreviewStopsTheLoading() {
        t::StartedWindows w([](const QString& folder) {
            writeLog(folder.toStdString() + "/a_log.txt", 20);
            t::writeFile(folder.toStdString() + "/b_note.txt", "短いメモ\n");
        });
        QVERIFY(w.TXT->loading());
        w.click("b_note.txt");
        QVERIFY(!w.TXT->loading());
        QTest::qWait(100);
        QCOMPARE(w.TXT->toPlainText(), QStringLiteral("短いメモ\n"));
        // So does the busy display of a batch operation.
        w.click("a_log.txt");
        QVERIFY(w.TXT->loading());
        w.ta->busy().begin(2);
        QVERIFY(!w.TXT->loading());
        QCOMPARE(w.TXT->toPlainText(), QString());
        w.ta->busy().end();
    }

    // Rich text comes formatted, also when it takes several steps.
    void richTextIsShownWholeAndFormatted() {
        QTemporaryDir dir;
        const std::string path = t::folderOf(dir) + "a.rtf";
        std::string rtf = "{\\rtf1\\ansi {\\qc\\b Title\\par}";
        for (int i = 0; i < 5000; ++i) {
            rtf += "Line " + std::to_string(i) + "\\par ";
        }
        t::writeFile(path, rtf + "{\\i The end}}");
        TextPane pane;
        QSignalSpy loaded(&pane, &TextPane::loaded);
        pane.load(path);
        QVERIFY(pane.loading());
        QVERIFY(loaded.wait(kLoadWait));
        QTextDocument* doc = pane.richView()->document();
        QCOMPARE(doc->firstBlock().text(), QStringLiteral("Title"));
        QCOMPARE(doc->firstBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
                 Qt::AlignHCenter);
        QCOMPARE(doc->firstBlock().begin().fragment().charFormat().fontWeight(), int(QFont::Bold));
        QCOMPARE(doc->lastBlock().text(), QStringLiteral("The end"));
        QCOMPARE(doc->lastBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
                 Qt::AlignLeft);
        QCOMPARE(doc->blockCount(), 5002);
    }

    // A file beyond the limit, and a file cut while it loads: the last line
    // says what is shown, with the byte counts.
    void theLastLineTellsWhatIsNotShown() {
        QTemporaryDir dir;
        const std::string path = t::folderOf(dir) + "a.txt";
        t::writeFile(path, "ああ\nああ"); // the limit cuts the third character
        TextPane pane;
        QSignalSpy loaded(&pane, &TextPane::loaded);
        pane.load(path, {8, 100});
        QVERIFY(loaded.count() == 1 || loaded.wait(kLoadWait));
        QCOMPARE(pane.toPlainText(),
                 QStringLiteral("ああ\n（ファイルが大きすぎるため、全 13 "
                                "バイトのうち先頭の 8 バイトだけを表示しています）"));

        writeLog(path, 4);
        pane.load(path);
        QVERIFY(pane.loading());
        QVERIFY(::truncate(path.c_str(), 1 << 20) == 0);
        QVERIFY(loaded.wait(kLoadWait));
        const QString last = pane.plainView()->document()->lastBlock().text();
        QVERIFY2(last.startsWith(QStringLiteral("（読み込み中にファイルが短くなったため、1048576 "
                                                "バイトで表示を終えました。")),
                 qPrintable(last));
    }
};

HARPOLY_WINDOW_TEST_MAIN(TextPaneTest)
#include "text_pane_test.moc"
