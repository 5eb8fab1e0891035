// Qt's own texts and date formats are Japanese whatever the locale: this
// test program runs under the C locale.
#include "window_rig.h"

#include <QDateEdit>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <cstdlib>

using Windows = harpoly::test::StartedWindows;
namespace t = harpoly::test;

class JapaneseTextsTest : public QObject {
    Q_OBJECT

private slots:
    // A real question box (the rename's, with its list of old and new names
    // behind the details button): every button reads in Japanese.
    void aQuestionBoxReadsOkAndCancel() {
        Windows w(
            [](const QString& folder) { t::writeFile(folder.toStdString() + "/a.txt", "x"); });
        w.ta->setPrompter(nullptr); // the program's own message boxes
        w.FL->selectAll();
        w.Utility->setCurrentIndex(3); // 拡張子変換
        QStringList buttons;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box != nullptr);
            for (QAbstractButton* b : box->buttons()) {
                buttons << b->text();
            }
            box->button(QMessageBox::Cancel)->click();
        });
        w.ta->findChild<QPushButton*>("BEnt2")->click();
        buttons.sort();
        QCOMPARE(buttons, QStringList({"OK", "キャンセル", "詳細を表示..."}));
        QCOMPARE(w.row("a.txt"), 0); // cancelled: nothing renamed
    }

    void textFieldsHaveJapaneseContextMenus() {
        Windows w;
        auto* field = w.ta->findChild<QLineEdit*>("E1");
        QVERIFY(field != nullptr);
        const std::unique_ptr<QMenu> menu(field->createStandardContextMenu());
        QStringList items;
        for (const QAction* item : menu->actions()) {
            if (!item->isSeparator()) {
                items << item->text().section('\t', 0, 0); // without the key
            }
        }
        QVERIFY2(items.contains("元に戻す(&U)") && items.contains("すべてを選択"),
                 qPrintable(items.join(',')));
    }

    void theDatePickerShowsTheJapaneseShortDate() {
        Windows w;
        auto* date = w.ta->findChild<QDateEdit*>("DT1");
        QVERIFY(date != nullptr);
        QCOMPARE(date->displayFormat(), QStringLiteral("yyyy/MM/dd"));
        QCOMPARE(date->text(), date->date().toString(QStringLiteral("yyyy/MM/dd")));
    }
};

int main(int argc, char** argv) {
    // The locale of a user who has none set: English texts and dates unless
    // the program brings its own.
    ::setenv("LC_ALL", "C", 1);
    ::setenv("LANG", "C", 1);
    ::unsetenv("LANGUAGE");
    harpoly::ui::HarpolyApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    JapaneseTextsTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "japanese_texts_test.moc"
