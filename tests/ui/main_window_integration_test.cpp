// The main window with its real folder chooser and tool tabs: the chooser
// opened by key and button, confirmed and dismissed; the batch tabs driven
// through the file list's selection; the generating tabs writing into the
// display and output folders; errors of a tab shown in the information panel.
#include "../core/generate/icon_test_files.h"
#include "core/app/ui_ports.h"
#include "core/folders/directory_outline.h"
#include "core/settings/settings.h"
#include "ui/app/harpoly_application.h"
#include "ui/app/panel_bar.h"
#include "ui/folders/folder_chooser_window.h"
#include "window_rig.h"

#include <QBuffer>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <fstream>
#include <memory>

using namespace harpoly;
using namespace harpoly::ui;

namespace {

using test::folderOf;
using test::writeFile;

bool exists(const std::string& path) {
    return QFile::exists(QFile::decodeName(QByteArray::fromStdString(path)));
}

std::string jpegOfSize(int width, int height) {
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "JPG");
    return bytes.toStdString();
}

// The main window on its own program, display and output folders, wired to
// the application as the real start-up does.
struct Window : test::WindowRig {
    Window() {
        writeFile(settings, test::seedSettingsText() + "[Set]\r\nDir=" + display +
                                "\r\nWork=" + output + "\r\n");
    }
    QStringList listed() const {
        QStringList names;
        for (int i = 0; i < FL->model()->rowCount(); ++i) {
            names << FL->model()->index(i, 0).data().toString();
        }
        return names;
    }
    std::string current() const { return ta->currentEntryName(); }
    // Selects the rows as a user does in the list: `currentRow` by a plain
    // click, the others added by Ctrl-clicks.
    void select(int currentRow, const std::vector<int>& others = {}) {
        QItemSelectionModel* selection = FL->selectionModel();
        auto* model = FL->model();
        selection->setCurrentIndex(model->index(currentRow, 0),
                                   QItemSelectionModel::ClearAndSelect);
        for (int row : others) {
            selection->select(model->index(row, 0), QItemSelectionModel::Select);
        }
    }
    // Puts tab `name` on show and returns its page.
    QWidget* showTab(const char* name) {
        for (int i = 0; i < Utility->count(); ++i) {
            if (Utility->widget(i)->objectName() == QLatin1String(name)) {
                Utility->setCurrentIndex(i);
                return Utility->widget(i);
            }
        }
        return nullptr;
    }
    // Presses a tab's action button with the mouse, as a user does.
    void press(QWidget* page, const char* button) {
        auto* action = page->findChild<QPushButton*>(QLatin1String(button));
        QVERIFY2(action != nullptr, button);
        QTest::mouseClick(action, Qt::LeftButton);
    }
    // Presses the button outside any event delivery, where the application's
    // last-resort catch in notify() does not reach: an error must be reported
    // inside the button's own handler, or it lands in the test.
    void pressDirectly(QWidget* page, const char* button) {
        auto* action = page->findChild<QPushButton*>(QLatin1String(button));
        QVERIFY2(action != nullptr, button);
        try {
            action->click();
        } catch (...) {
            QFAIL("an exception left the click handler");
        }
    }
    FolderChooserWindow* chooser() const { return ta->findChild<FolderChooserWindow*>(); }
};

} // namespace

class MainWindowIntegrationTest : public QObject {
    Q_OBJECT
private slots:
    void init() { startDir_ = QDir::currentPath(); }
    void cleanup() { QVERIFY(QDir::setCurrent(startDir_)); }

    void displayChooserConfirmsFolder_data();
    void displayChooserConfirmsFolder();
    void displayChooserClosedChangesNothing_data();
    void displayChooserClosedChangesNothing();
    void outputChooserChangesOnlyOutputLine_data();
    void outputChooserChangesOnlyOutputLine();
    void renameTabRunsOverSelection_data();
    void renameTabRunsOverSelection();
    void enterInNameFieldPressesConvert();
    void progressRunsOverWholeList();
    void jpegSelectionMovesMatchingPictures();
    void jpegSelectionErrorIsShownOnce();
    void linkTabWritesPageIntoList();
    void iconTabWritesIconIntoOutputFolder();
    void iconTabWriteErrorIsShownAndBusyEnds();

private:
    QString startDir_;
};

// ---------------------------------------------------------------- chooser

void MainWindowIntegrationTest::displayChooserConfirmsFolder_data() {
    QTest::addColumn<bool>("byKey");
    QTest::newRow("F7") << true;
    QTest::newRow("BI") << false;
}

void MainWindowIntegrationTest::displayChooserConfirmsFolder() {
    QFETCH(bool, byKey);
    Window w;
    for (const char* name : {"a0.txt", "b.txt"}) {
        writeFile(w.display + name, name);
    }
    QVERIFY(QDir().mkdir(QString::fromStdString(w.display + "sub")));
    for (const char* name : {"a.txt", "b.txt"}) {
        writeFile(w.display + "sub/" + name, name);
    }
    w.start();
    w.select(1);
    QCOMPARE(w.current(), std::string("b.txt"));

    if (byKey) {
        QTest::keyClick(w.FL, Qt::Key_F7);
    } else {
        QTest::mouseClick(w.BI, Qt::LeftButton);
    }
    QPointer<FolderChooserWindow> chooser = w.chooser();
    QVERIFY(chooser != nullptr);
    QVERIFY(chooser->isVisible());
    QCOMPARE(chooser->windowTitle(), QStringLiteral("表示フォルダの選択"));
    QCOMPARE(chooser->pos(), w.ta->pos());
    QVERIFY(!w.ta->isEnabled());
    QVERIFY(chooser->isEnabled());
    DirectoryOutline& outline = chooser->outline();
    QCOMPARE(outline.fullPath(outline.selected()) + "/", w.display);
    // The main window's keys are shut off while the chooser is open.
    QTest::keyClick(chooser->findChild<QTreeView*>("CD"), Qt::Key_F8);
    QCOMPARE(w.ta->findChildren<FolderChooserWindow*>().size(), 1);

    // The keys go to the chooser's tree: into the sub-folder, then Return.
    auto* tree = chooser->findChild<QTreeView*>("CD");
    QTRY_COMPARE(QApplication::focusWidget(), tree);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QCOMPARE(outline.fullPath(outline.selected()) + "/", w.display + "sub/");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);

    const std::string sub = w.display + "sub/";
    QCOMPARE(w.ta->displayFolder(), sub);
    QCOMPARE(w.SI->text(0), QString::fromStdString(" 表示フォルダ = " + sub));
    QCOMPARE(w.ta->outputFolder(), w.output);
    QCOMPARE(w.listed(), (QStringList{"a.txt", "b.txt"}));
    QCOMPARE(w.current(), std::string("a.txt")); // b.txt is not looked for again
    QVERIFY(w.ta->isEnabled());
    QTRY_VERIFY(chooser.isNull());
}

void MainWindowIntegrationTest::displayChooserClosedChangesNothing_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Esc") << "Esc";
    QTest::newRow("B2") << "B2";
    QTest::newRow("close box") << "close";
}

void MainWindowIntegrationTest::displayChooserClosedChangesNothing() {
    QFETCH(QString, how);
    Window w;
    QVERIFY(QDir().mkdir(QString::fromStdString(w.display + "sub")));
    writeFile(w.display + "a.txt", "a");
    writeFile(w.display + "b.txt", "b");
    w.start();
    w.select(1);
    const QString line = w.SI->text(0);

    QTest::keyClick(w.FL, Qt::Key_F7);
    QPointer<FolderChooserWindow> chooser = w.chooser();
    QVERIFY(chooser != nullptr);
    auto* tree = chooser->findChild<QTreeView*>("CD");
    QTest::keyClick(tree, Qt::Key_Right);
    QTest::keyClick(tree, Qt::Key_Down); // a different folder is selected, not confirmed
    if (how == "Esc") {
        QTest::keyClick(tree, Qt::Key_Escape);
    } else if (how == "B2") {
        QTest::mouseClick(chooser->findChild<QPushButton*>("B2"), Qt::LeftButton);
    } else {
        chooser->close();
    }
    QVERIFY(w.ta->isEnabled());
    QVERIFY(!chooser || !chooser->isVisible());
    QTRY_VERIFY(chooser.isNull());
    QCOMPARE(w.ta->displayFolder(), w.display);
    QCOMPARE(w.SI->text(0), line);
    QCOMPARE(w.listed(), (QStringList{"a.txt", "b.txt"}));
    QCOMPARE(w.current(), std::string("b.txt"));
    QVERIFY(w.ta->fileList().isSelected(1));
}

void MainWindowIntegrationTest::outputChooserChangesOnlyOutputLine_data() {
    QTest::addColumn<bool>("byKey");
    QTest::newRow("F8") << true;
    QTest::newRow("BO") << false;
}

void MainWindowIntegrationTest::outputChooserChangesOnlyOutputLine() {
    QFETCH(bool, byKey);
    Window w;
    QVERIFY(QDir().mkdir(QString::fromStdString(w.output + "out")));
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
        writeFile(w.display + name, name);
    }
    w.start();
    w.select(2, {0});
    const QString displayLine = w.SI->text(0);

    if (byKey) {
        QTest::keyClick(w.FL, Qt::Key_F8);
    } else {
        QTest::mouseClick(w.BO, Qt::LeftButton);
    }
    QPointer<FolderChooserWindow> chooser = w.chooser();
    QVERIFY(chooser != nullptr);
    QCOMPARE(chooser->windowTitle(), QStringLiteral("出力フォルダの選択"));
    QVERIFY(!w.ta->isEnabled());
    QCOMPARE(chooser->outline().fullPath(chooser->outline().selected()) + "/", w.output);
    auto* tree = chooser->findChild<QTreeView*>("CD");
    QTest::keyClick(tree, Qt::Key_Right);
    QTest::keyClick(tree, Qt::Key_Down);
    QTest::mouseClick(chooser->findChild<QPushButton*>("B1"), Qt::LeftButton);

    QCOMPARE(w.ta->outputFolder(), w.output + "out/");
    QCOMPARE(w.SO->text(0), QString::fromStdString(" 出力フォルダ = " + w.output + "out/"));
    QCOMPARE(w.ta->displayFolder(), w.display);
    QCOMPARE(w.SI->text(0), displayLine);
    QCOMPARE(w.listed(), (QStringList{"a.txt", "b.txt", "c.txt"}));
    QCOMPARE(w.current(), std::string("c.txt"));
    auto& list = w.ta->fileList();
    QVERIFY(list.isSelected(0) && !list.isSelected(1) && list.isSelected(2));
    QVERIFY(w.ta->isEnabled());
}

// ---------------------------------------------------------------- batch tabs

void MainWindowIntegrationTest::renameTabRunsOverSelection_data() {
    QTest::addColumn<bool>("selectSome");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QStringList>("listedAfter");
    QTest::addColumn<QString>("currentAfter");
    QTest::addColumn<QStringList>("notices");

    QTest::newRow("OK") << true << true << QStringList{"a.txt", "旅1.txt", "旅2.jpg"} << "旅2.jpg"
                        << QStringList{};
    QTest::newRow("Cancel") << true << false << QStringList{"a.txt", "b.txt", "c.JPG"} << "c.JPG"
                            << QStringList{};
    QTest::newRow("nothing selected")
        << false << true << QStringList{"a.txt", "b.txt", "c.JPG"} << "a.txt"
        << QStringList{"処理中止|ファイルが選択されていません。"};
}

void MainWindowIntegrationTest::renameTabRunsOverSelection() {
    QFETCH(bool, selectSome);
    QFETCH(bool, answer);
    QFETCH(QStringList, listedAfter);
    QFETCH(QString, currentAfter);
    QFETCH(QStringList, notices);
    Window w;
    for (const char* name : {"a.txt", "b.txt", "c.JPG"}) {
        writeFile(w.display + name, name);
    }
    w.start();
    if (selectSome) {
        w.select(2, {1});
    }
    QWidget* page = w.showTab("TS1");
    QVERIFY(page != nullptr);
    page->findChild<QLineEdit*>("E1")->setText(QStringLiteral("旅"));
    auto* e2 = page->findChild<QLineEdit*>("E2");
    e2->setText(QStringLiteral("1"));
    w.prompter.answer = answer;

    w.press(page, "BEnt1");

    QCOMPARE(w.prompter.notices, notices);
    QCOMPARE(w.prompter.asked.size(), selectSome ? 1 : 0);
    QCOMPARE(w.listed(), listedAfter);
    QCOMPARE(QString::fromStdString(w.current()), currentAfter);
    QCOMPARE(w.FL->currentIndex().row(), listedAfter.indexOf(currentAfter));
    QVERIFY(e2->text().isEmpty());
    for (const QString& name : listedAfter) {
        QVERIFY2(exists(w.display + name.toStdString()), qPrintable(name));
    }
    QVERIFY(!w.PB->isVisible());
    QVERIFY(QApplication::overrideCursor() == nullptr);
}

void MainWindowIntegrationTest::enterInNameFieldPressesConvert() {
    Window w;
    writeFile(w.display + "a.txt", "a");
    w.start();
    w.select(0);
    QWidget* page = w.showTab("TS1");
    auto* e1 = page->findChild<QLineEdit*>("E1");
    e1->setFocus();
    QTest::keyClicks(e1, "new");
    QTest::keyClick(e1, Qt::Key_Return);
    QCOMPARE(w.prompter.asked, QStringList{"リネーム1|選択ファイルをnew1等に変更しますか?"});
    QCOMPARE(w.listed(), QStringList{"new1.txt"});
}

void MainWindowIntegrationTest::progressRunsOverWholeList() {
    Window w;
    for (int i = 0; i < 120; ++i) {
        writeFile(w.display + QString("f%1.txt").arg(i, 3, 10, QChar('0')).toStdString(), "x");
    }
    w.start();
    QCOMPARE(w.FL->model()->rowCount(), 120);
    w.select(5, {50, 100});
    QWidget* page = w.showTab("TS2");
    page->findChild<QLineEdit*>("EExt")->setText(QStringLiteral("dat"));
    // Each value the bar takes during the walk, with its range at that time.
    QStringList steps;
    QProgressBar* bar = w.PB;
    QObject::connect(bar, &QProgressBar::valueChanged, bar, [&steps, bar](int value) {
        steps << QString("%1/%2..%3").arg(value).arg(bar->minimum()).arg(bar->maximum());
    });

    w.press(page, "BEnt2");

    // One step for every entry, selected or not, on a bar running 0 to 120.
    QCOMPARE(steps.size(), 121);
    QCOMPARE(steps.first(), QStringLiteral("0/0..120"));
    QCOMPARE(steps.last(), QStringLiteral("120/0..120"));
    QCOMPARE(w.current(), std::string("f005.dat"));
    QVERIFY(exists(w.display + "f100.dat") && exists(w.display + "f101.txt"));
}

void MainWindowIntegrationTest::jpegSelectionMovesMatchingPictures() {
    Window w;
    writeFile(w.display + "a.txt", "a");
    writeFile(w.display + "big.jpg", jpegOfSize(40, 30));
    writeFile(w.display + "big2.JPEG", jpegOfSize(64, 64));
    writeFile(w.display + "small.jpg", jpegOfSize(8, 30));
    w.start();
    w.select(3); // small.jpg stays and stays current
    QWidget* page = w.showTab("TS5");
    page->findChild<QLineEdit*>("EW")->setText(QStringLiteral("20")); // width at least 20
    page->findChild<QLineEdit*>("EH")->setText(QStringLiteral("0"));  // and height at least 0

    w.press(page, "BEnt5");

    QCOMPARE(w.prompter.asked, QStringList{"JPG選別1|出力フォルダに対象ファイルを移動しますか?"});
    QCOMPARE(w.listed(), (QStringList{"a.txt", "small.jpg"}));
    QCOMPARE(w.current(), std::string("small.jpg"));
    QVERIFY(exists(w.output + "big.jpg") && exists(w.output + "big2.JPEG"));
    QVERIFY(!exists(w.display + "big.jpg"));
    QCOMPARE(w.info(), QStringLiteral(" 幅 8  高さ 30  サイズ 0KB"));
}

void MainWindowIntegrationTest::jpegSelectionErrorIsShownOnce() {
    Window w;
    writeFile(w.display + "a.txt", "a");
    writeFile(w.display + "b.jpg", jpegOfSize(40, 30));
    writeFile(w.display + "c.jpg", "this is no picture");
    w.start();
    QCOMPARE(w.current(), std::string("a.txt"));
    QWidget* page = w.showTab("TS6");

    w.pressDirectly(page, "BEnt6");

    const QString failed = QStringLiteral(" エラーが発生しました。 ( 不正なJPEG )");
    QCOMPARE(w.info(), failed);
    // The tab reports its own error; nothing escapes to the application's
    // handler to be reported a second time.
    QVERIFY(w.reported.isEmpty());
    // The picture before the bad one has moved; the list shows it gone and
    // the busy indicator is back to idle.
    QVERIFY(exists(w.output + "b.jpg"));
    QCOMPARE(w.listed(), (QStringList{"a.txt", "c.jpg"}));
    QVERIFY(!w.PB->isVisible());
    QVERIFY(QApplication::overrideCursor() == nullptr);
}

// ---------------------------------------------------------------- generating tabs

void MainWindowIntegrationTest::linkTabWritesPageIntoList() {
    Window w;
    writeFile(w.display + "b.jpg", jpegOfSize(8, 8));
    writeFile(w.display + "c.txt", "c");
    w.start();
    w.select(1);
    QWidget* page = w.showTab("TS3");
    page->findChild<QLineEdit*>("E3")->setText(QStringLiteral("links"));
    page->findChild<QComboBox*>("RG3")->setCurrentIndex(0);

    w.press(page, "BEnt3");

    QCOMPARE(w.prompter.asked,
             QStringList{"リンク作成|リンク(html)を作成ますか? (ファイル名:links.html)"});
    QVERIFY(exists(w.display + "links.html"));
    QCOMPARE(w.listed(), (QStringList{"b.jpg", "c.txt", "links.html"}));
    QCOMPARE(w.current(), std::string("c.txt"));

    // A page that cannot be created is reported in the information panel.
    page->findChild<QLineEdit*>("E3")->setText(QStringLiteral("missing/links"));
    w.pressDirectly(page, "BEnt3");
    QCOMPARE(w.info(), QStringLiteral(" エラーが発生しました。 ( 不正なファイル名 )"));
    QCOMPARE(w.reported, QStringList{"EFCreateError"});
    QCOMPARE(w.listed(), (QStringList{"b.jpg", "c.txt", "links.html"}));
}

void MainWindowIntegrationTest::iconTabWritesIconIntoOutputFolder() {
    Window w;
    using namespace harpoly::icon_test;
    const Bytes ico = icoFile({solidImage(32, 4, 9)});
    writeFile(w.display + "app.ico", std::string(ico.begin(), ico.end()));
    writeFile(w.display + "b.txt", "b");
    w.start();
    w.select(1, {0}); // only the current item counts
    w.select(0);
    QWidget* page = w.showTab("TS4");
    page->findChild<QComboBox*>("RG4")->setCurrentIndex(0);

    w.press(page, "BEnt4");

    QCOMPARE(w.prompter.asked,
             QStringList{"アイコン抽出|app.icoのアイコンを出力フォルダへ抽出しますか?"});
    QCOMPARE(w.prompter.notices,
             QStringList{"アイコン抽出|アイコン形式の正常出力は16色アイコンだけです。"});
    QVERIFY(exists(w.output + "app-0.ico"));
    QVERIFY(!exists(w.output + "app-1.ico"));
    QCOMPARE(QFileInfo(QString::fromStdString(w.output + "app-0.ico")).size(), 766);
    QCOMPARE(w.listed(), (QStringList{"app.ico", "b.txt"})); // another folder: no re-read
    QVERIFY(!w.PB->isVisible());
}

void MainWindowIntegrationTest::iconTabWriteErrorIsShownAndBusyEnds() {
    Window w;
    using namespace harpoly::icon_test;
    const Bytes ico = icoFile({solidImage(32, 4, 9)});
    writeFile(w.display + "app.ico", std::string(ico.begin(), ico.end()));
    w.start();
    w.ta->setOutputFolder(w.output + "gone/");
    QWidget* page = w.showTab("TS4");

    w.pressDirectly(page, "BEnt4");

    QCOMPARE(w.info(), QStringLiteral(" エラーが発生しました。 ( 不正なファイル名 )"));
    QCOMPARE(w.reported, QStringList{"EFCreateError"});
    QVERIFY(!w.PB->isVisible());
    QVERIFY(QApplication::overrideCursor() == nullptr);
}

int main(int argc, char** argv) {
    HarpolyApplication app(argc, argv);
    MainWindowIntegrationTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "main_window_integration_test.moc"
