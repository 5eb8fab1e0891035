// The main window on temporary program and display folders: creation from
// the settings file, the activation, the preview of each kind, the key
// handler, the prompts, the resize rule and the save at close.
#include "core/app/confirm.h"
#include "core/app/ui_ports.h"
#include "core/settings/settings.h"
#include "ui/app/harpoly_application.h"
#include "ui/app/panel_bar.h"
#include "ui/app/windows_key_code.h"
#include "ui/browse/image_pane.h"
#include "ui/browse/preview_box.h"
#include "window_rig.h"

#include <QAction>
#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>
#include <fstream>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using namespace harpoly;
using namespace harpoly::ui;

namespace {

using test::folderOf;
using test::writeFile;

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// One main window with its own program folder, settings file and display
// folder, wired to the application like the real start-up does.
struct Window : test::WindowRig {
    // `iniText` is written first when given; otherwise the first start seeds.
    explicit Window(const std::string& iniText = {}, bool pointAtDisplay = true,
                    const std::string& moreSetLines = {}) {
        if (pointAtDisplay) {
            const std::string text = iniText.empty() ? test::seedSettingsText() : iniText;
            writeFile(settings, text + "[Set]\r\nDir=" + display + "\r\n" + moreSetLines);
        } else if (!iniText.empty()) {
            writeFile(settings, iniText);
        }
    }
};

QByteArray imageBytes(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void firstStartSeedsSettingsAndFilter();
    void activationFillsListAndPreviewsFirstFile();
    void activationReplacesVanishedFolders();
    void previewInformationLine_data();
    void previewInformationLine();
    void damagedJpegIsReportedInInformationPanel();
    void previewOffShowsSizeOnly();
    void filterBoxRefillsWithoutPreview();
    void filterBoxFiltersByWhatIsTyped();
    void functionKeyRunsCommandOnlyWhileEnabled();
    void hotKeyDialogTakesReservedKeys();
    void keyHandlerSeesEachKeyPressOnce_data();
    void keyHandlerSeesEachKeyPressOnce();
    void confirmActionRefusesWithoutSelection();
    void enterPressesActionOfTabOnShow();
    void selectionAndCurrentItemStayApart();
    void busyIndicatorRunsOverEveryEntry();
    void resizeRuleFitsBarsToBox_data();
    void resizeRuleFitsBarsToBox();
    void chosenFolderIsAppliedByCaption();
    void closeWritesSettings();
    void everyToolTabShowsAtTheDefaultSize();
    void namesThatAreNotUtf8ShowAsTheListShowsThem();
    void unwritableSettingsAreReportedAndWindowCloses();
};

void MainWindowTest::firstStartSeedsSettingsAndFilter() {
    Window w({}, false);
    w.create();
    std::string seed;
    for (const char* line : kSeedSettingsLines) {
        seed += std::string(line) + "\r\n";
    }
    QCOMPARE(QString::fromStdString(readFile(w.settings)), QString::fromStdString(seed));

    const QStringList expected = {"*.*",    "*.asf", "*.asx",  "*.avi",  "*.bat", "*.bmp",
                                  "*.css",  "*.gif", "*.htm",  "*.html", "*.ico", "*.ini",
                                  "*.jpeg", "*.jpg", "*.mpeg", "*.mpg",  "*.php", "*.png",
                                  "*.ram",  "*.rm",  "*.smil", "*.txt",  "*.wmv"};
    QStringList entries;
    for (int i = 0; i < w.BExt->count(); ++i) {
        entries << w.BExt->itemText(i);
    }
    QCOMPARE(entries, expected);
    QCOMPARE(w.BExt->currentText(), QStringLiteral("*.*"));
    QCOMPARE(w.FL->model()->rowCount(), 0); // filled at the first activation only
    QCOMPARE(w.ta->windowTitle(),
             QStringLiteral("Harpoly - ビューアーとユーティリティー - 1.00版"));
    QCOMPARE(w.ta->displayFolder(), w.program);
    QCOMPARE(w.ta->outputFolder(), w.program);

    for (const char* name :
         {"BI", "BO",         "BF",      "BE",  "BHK", "BExt", "PV",  "pM",  "SF",
          "FL", "c_splitter", "BOX",     "IMG", "TXT", "MPP",  "MPC", "MPt", "PB",
          "SI", "SO",         "Utility", "POP", "TM",  "N1",   "N2",  "N3",  "N9"}) {
        QVERIFY2(w.ta->findChild<QObject*>(QString::fromLatin1(name)) != nullptr, name);
    }
    const QStringList captions = {"リネーム1",  "リネーム2",      "リネーム3",
                                  "拡張子変換", "リンク作成",     "JPG選別1",
                                  "JPG選別2",   "タイムスタンプ", "アイコン抽出"};
    QCOMPARE(w.Utility->count(), 9);
    for (int i = 0; i < 9; ++i) {
        QCOMPARE(w.Utility->tabText(i), captions[i]);
    }
    QCOMPARE(w.ta->findChild<QAction*>("N1")->text(), QStringLiteral("進む\tEnter"));
}

void MainWindowTest::activationFillsListAndPreviewsFirstFile() {
    Window w;
    writeFile(w.display + "b.txt", "hello");
    writeFile(w.display + "A.JPG", "x");
    writeFile(w.display + "c.dat", std::string(2500, 'z'));
    writeFile(w.display + "\x8E\xCA\x90\x5E.txt", "sjis"); // a Shift-JIS name
    QDir().mkdir(QString::fromStdString(w.display + "sub"));
    w.create();
    w.show();
    w.activate();
    auto* model = w.FL->model();
    QCOMPARE(model->rowCount(), 4);
    QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("A.JPG"));
    QCOMPARE(model->index(3, 0).data().toString(), QStringLiteral("写真.txt"));
    QCOMPARE(w.FL->currentIndex().row(), 0);
    QCOMPARE(w.SI->text(0), QString::fromStdString(" 表示フォルダ = " + w.display));
    QCOMPARE(w.SO->text(0), QString::fromStdString(" 出力フォルダ = " + w.program));

    // A keyboard move in the list previews the new current item.
    w.FL->setFocus();
    QTest::keyClick(w.FL, Qt::Key_Down);
    QCOMPARE(w.FL->currentIndex().row(), 1);
    QCOMPARE(w.info(), QStringLiteral(" サイズ 0KB"));
    QVERIFY(w.TXT->isVisible());
    QCOMPARE(w.TXT->toPlainText(), QStringLiteral("hello"));

    // A later activation keeps the current item by its name.
    writeFile(w.display + "a0.txt", "new");
    w.activate();
    QCOMPARE(model->rowCount(), 5);
    QCOMPARE(w.ta->currentEntryName(), std::string("b.txt"));
    // QTemporaryDir cannot remove a name that is not UTF-8.
    ::unlink((w.display + "\x8E\xCA\x90\x5E.txt").c_str());
}

void MainWindowTest::activationReplacesVanishedFolders() {
    Window w;
    w.create();
    const std::string gone = w.display + "gone/";
    w.ta->setDisplayFolder(gone);
    w.ta->setOutputFolder(gone);
    w.activate();
    QCOMPARE(w.ta->displayFolder(), w.program);
    QCOMPARE(w.ta->outputFolder(), w.program);
    QCOMPARE(w.SI->text(0), QString::fromStdString(" 表示フォルダ = " + w.program));
    QCOMPARE(w.ta->currentEntryName(), std::string("harpoly.ini"));
}

void MainWindowTest::previewInformationLine_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("info");
    QTest::addColumn<QString>("pane"); // the pane on show afterwards

    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    QImage icon(16, 16, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    const QByteArray jpg = imageBytes(picture, "JPG");
    const QByteArray bmp = imageBytes(picture, "BMP");
    const QByteArray ico = imageBytes(icon, "ICO");
    const auto line = [](int w, int h, const QByteArray& bytes) {
        return QString(" 幅 %1  高さ %2  サイズ %3KB").arg(w).arg(h).arg(bytes.size() / 1000);
    };

    QTest::newRow("jpeg") << "photo.jpg" << jpg << line(40, 30, jpg) << "IMG";
    QTest::newRow("bmp") << "photo.BMP" << bmp << line(40, 30, bmp) << "IMG";
    QTest::newRow("icon") << "app.ico" << ico << line(16, 16, ico) << "IMG";
    QTest::newRow("text") << "notes.TXT" << QByteArray("日本語のテキスト") << " サイズ 0KB"
                          << "TXT";
    QTest::newRow("rtf in a text file")
        << "letter.txt" << QByteArray("{\\rtf1\\ansi {\\b Bold} text\\par}") << " サイズ 0KB"
        << "TXT";
    QTest::newRow("other") << "data.bin" << QByteArray(1234, 'x')
                           << " サイズ 1KB  このファイルはプレビュー出来ません"
                           << "";
    QTest::newRow("empty folder") << "" << QByteArray() << " ファイルが指定されていません"
                                  << "";
}

void MainWindowTest::previewInformationLine() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, info);
    QFETCH(QString, pane);
    Window w;
    if (!name.isEmpty()) {
        writeFile(w.display + name.toStdString(), bytes.toStdString());
    }
    w.create();
    w.show();
    w.activate();
    QCOMPARE(w.info(), info);
    // A picture appears once it is decoded.
    QTRY_COMPARE(w.IMG->isVisible(), pane == "IMG");
    QCOMPARE(w.TXT->isVisible(), pane == "TXT");
    if (pane == "IMG") {
        QVERIFY(w.IMG->hasPicture());
        if (name == "app.ico") {
            // Shown at its own size, centred, its transparent parts white.
            const QRect drawn = w.IMG->drawnRect();
            QCOMPARE(drawn.size(), QSize(16, 16));
            QCOMPARE(drawn.x(), (w.IMG->width() - 16) / 2);
            QCOMPARE(w.IMG->picture().pixel(8, 8), qRgb(255, 255, 255));
        }
    }
    if (name == "letter.txt") {
        QCOMPARE(w.TXT->toPlainText().trimmed(), QStringLiteral("Bold text"));
        QVERIFY(w.TXT->toHtml().contains("font-weight"));
    }
}

void MainWindowTest::damagedJpegIsReportedInInformationPanel() {
    Window w;
    QImage picture(64, 64, QImage::Format_RGB32);
    picture.fill(Qt::red);
    writeFile(w.display + "broken.jpg", imageBytes(picture, "JPG").left(200).toStdString());
    w.create();
    w.show();
    w.activate();
    QCOMPARE(w.info(), QStringLiteral(" エラーが発生しました。 ( 不正なJPEG )"));
    // A tool tab's refresh or preview call reports the error too, never throws.
    w.ta->showInfo({});
    w.ta->fileList().refresh({});
    QCOMPARE(w.info(), QStringLiteral(" エラーが発生しました。 ( 不正なJPEG )"));
    w.ta->showInfo({});
    w.ta->previewCurrentEntry();
    QCOMPARE(w.info(), QStringLiteral(" エラーが発生しました。 ( 不正なJPEG )"));
    QVERIFY(!w.IMG->isVisible());

    // An error of a kind without its own text shows the kind name.
    w.ta->reportError("EFOpenError");
    QCOMPARE(w.info(), QStringLiteral(" エラーが発生しました。 ( EFOpenError )"));
}

void MainWindowTest::previewOffShowsSizeOnly() {
    Window w;
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    writeFile(w.display + "photo.jpg", imageBytes(picture, "JPG").toStdString());
    w.create();
    w.show();
    w.activate();
    QTest::mouseClick(w.PV, Qt::LeftButton, {}, QPoint(5, 10)); // previews off
    QVERIFY(w.PV->isChecked());
    QCOMPARE(w.info(), QStringLiteral(" サイズ 0KB"));
    QVERIFY(!w.IMG->isVisible());
    QTest::mouseClick(w.PV, Qt::LeftButton, {}, QPoint(5, 10));
    QCOMPARE(w.info(), QStringLiteral(" 幅 40  高さ 30  サイズ 0KB"));
    QTRY_VERIFY(w.IMG->isVisible());
}

void MainWindowTest::filterBoxRefillsWithoutPreview() {
    Window w;
    writeFile(w.display + "a.txt", "a");
    writeFile(w.display + "b.JPG", "b");
    writeFile(w.display + "c.jpg", "c");
    w.create();
    w.show();
    w.activate();
    QCOMPARE(w.ta->currentEntryName(), std::string("a.txt"));
    const QString before = w.info();
    w.BExt->setFocus();
    w.BExt->lineEdit()->selectAll();
    QTest::keyClicks(w.BExt->lineEdit(), "*.jpg");
    QCOMPARE(w.FL->model()->rowCount(), 2); // b.JPG and c.jpg: case ignored
    QCOMPARE(w.info(), before);
    QVERIFY(w.TXT->isVisible()); // the old preview stays while typing
    // Choosing a file afterwards previews it, the entry that the refill made
    // current included.
    const QRect first = w.FL->visualRect(w.FL->model()->index(0, 0));
    QTest::mouseClick(w.FL->viewport(), Qt::LeftButton, {}, first.center());
    QCOMPARE(w.ta->currentEntryName(), std::string("b.JPG"));
    QCOMPARE(w.info(), QStringLiteral(" エラーが発生しました。 ( 不正なJPEG )"));
    QVERIFY(!w.TXT->isVisible());
}

// The drop-down holds "*.jpeg" and "*.jpg": typing "*.j" filters by "*.j",
// never by a pattern completed behind the user's back.
void MainWindowTest::filterBoxFiltersByWhatIsTyped() {
    Window w;
    for (const char* name : {"x.j", "y.jpg", "z.jpeg"}) {
        writeFile(w.display + name, "x");
    }
    w.start();
    QCOMPARE(w.FL->model()->rowCount(), 3);
    w.BExt->setFocus();
    w.BExt->lineEdit()->selectAll();
    QTest::keyClicks(w.BExt->lineEdit(), "*.j");
    QCOMPARE(w.BExt->currentText(), QStringLiteral("*.j"));
    QCOMPARE(w.FL->model()->rowCount(), 1);
    QCOMPARE(w.currentName(), QStringLiteral("x.j"));
}

void MainWindowTest::functionKeyRunsCommandOnlyWhileEnabled() {
    Window w;
    w.create();
    w.show();
    w.activate();
    const QString startDir = QDir::currentPath();
    const std::string away = folderOf(w.programDir);
    QVERIFY(::chdir(away.c_str()) == 0);
    // F7 opens the display-folder chooser, which starts in the display folder.
    QTest::keyClick(w.FL, Qt::Key_F7);
    QCOMPARE(QDir::currentPath() + "/", QString::fromStdString(w.display));

    QVERIFY(::chdir(away.c_str()) == 0);
    w.ta->setEnabled(false); // a secondary window is open
    QVERIFY(w.ta->handleShortcutKey(118));
    QCOMPARE(QDir::currentPath() + "/", QString::fromStdString(away));
    QVERIFY(!w.ta->handleShortcutKey(122)); // F11 is never handled
    w.ta->setEnabled(true);
    QVERIFY(!w.ta->handleShortcutKey(118)); // the command runs and the key goes on
    QVERIFY(QDir::setCurrent(startDir));
}

void MainWindowTest::hotKeyDialogTakesReservedKeys() {
    Window w;
    w.create();
    w.show();
    w.ta->openShortcutKeyDialog();
    QVERIFY(w.hk->isVisible());
    QVERIFY(!w.ta->isEnabled());
    for (int code : {8, 13, 27, 32}) {
        QVERIFY(w.ta->handleShortcutKey(code));
    }
    QVERIFY(!w.ta->handleShortcutKey(120)); // F9 goes on to the focused field
    QVERIFY(!w.ta->handleShortcutKey('A'));
    w.hk->close();
    QVERIFY(w.ta->isEnabled());
    QVERIFY(!w.ta->handleShortcutKey(13));
}

void MainWindowTest::keyHandlerSeesEachKeyPressOnce_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("dialogShown");
    QTest::newRow("F11, main window") << int(Qt::Key_F11) << false;
    QTest::newRow("letter, main window") << int(Qt::Key_A) << false;
    QTest::newRow("F9, dialog shown") << int(Qt::Key_F9) << true;
}

// A key press from the window system goes to the window first and is then
// forwarded to the focused widget; the key handler must run once for it.
void MainWindowTest::keyHandlerSeesEachKeyPressOnce() {
    QFETCH(int, key);
    QFETCH(bool, dialogShown);
    Window w;
    w.create();
    w.show();
    QWidget* target = w.ta;
    if (dialogShown) {
        w.ta->openShortcutKeyDialog();
        QVERIFY(QTest::qWaitForWindowExposed(w.hk));
        target = w.hk;
    }
    QList<int> seen;
    HarpolyApplication::instance()->setKeyHandler([&](int code) {
        seen.append(code);
        return w.ta->handleShortcutKey(code);
    });
    QTest::keyClick(target->windowHandle(), static_cast<Qt::Key>(key));
    QCOMPARE(seen, QList<int>{windowsKeyCode(key)});
    if (dialogShown) {
        w.hk->findChild<QPushButton*>("BHKesc")->click();
    }
}

void MainWindowTest::confirmActionRefusesWithoutSelection() {
    Window w;
    writeFile(w.display + "a.txt", "a");
    w.create();
    w.show();
    w.activate();
    QVERIFY(
        !ConfirmAction(w.ta->prompter(), w.ta->fileList(), "変換しますか？", "リネーム1", true));
    QCOMPARE(w.prompter.notices, QStringList{"処理中止|ファイルが選択されていません。"});
    QVERIFY(w.prompter.asked.isEmpty());

    // Without a required selection the question is asked under the caption.
    w.prompter.answer = false;
    QVERIFY(
        !ConfirmAction(w.ta->prompter(), w.ta->fileList(), "作成しますか？", "リンク作成", false));
    w.FL->selectionModel()->select(w.FL->model()->index(0, 0), QItemSelectionModel::Select);
    w.prompter.answer = true;
    QVERIFY(ConfirmAction(w.ta->prompter(), w.ta->fileList(), "変換しますか？", "リネーム1", true));
    QCOMPARE(w.prompter.asked,
             (QStringList{"リンク作成|作成しますか？", "リネーム1|変換しますか？"}));
}

void MainWindowTest::enterPressesActionOfTabOnShow() {
    Window w;
    writeFile(w.display + "a.txt", "a");
    w.create();
    w.show();
    w.activate();
    w.Utility->setCurrentIndex(3);
    auto* action = w.Utility->widget(3)->findChild<QPushButton*>("BEnt2");
    QVERIFY(action != nullptr);
    QSignalSpy clicked(action, &QPushButton::clicked);
    w.FL->setFocus();
    QTest::keyClick(w.FL, Qt::Key_Return);
    QCOMPARE(clicked.count(), 1);
    // A focused button takes Enter itself: it is pressed.
    QSignalSpy keysOpened(w.BHK, &QPushButton::clicked);
    w.BHK->setFocus();
    QTest::keyClick(w.BHK, Qt::Key_Return);
    QCOMPARE(keysOpened.count(), 1);
    QCOMPARE(clicked.count(), 1);
    QVERIFY(w.hk->isVisible());
    w.hk->findChild<QPushButton*>("BHKesc")->click();
    QVERIFY(w.ta->isEnabled());
    // So does the text pane (a.txt is previewed there).
    QVERIFY(w.TXT->isVisible());
    w.TXT->setFocus();
    QWidget* view = w.ta->focusWidget();
    QVERIFY(w.TXT->isAncestorOf(view));
    QTest::keyClick(view, Qt::Key_Return);
    QCOMPARE(clicked.count(), 1);
}

void MainWindowTest::selectionAndCurrentItemStayApart() {
    Window w;
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
        writeFile(w.display + name, name);
    }
    w.create();
    w.show();
    w.activate();
    auto& list = w.ta->fileList();
    auto* view = w.FL;
    const QRect second = view->visualRect(view->model()->index(1, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, second.center());
    QCOMPARE(list.currentIndex(), 1);
    QVERIFY(list.isSelected(1));
    const QRect third = view->visualRect(view->model()->index(2, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier, third.center());
    QVERIFY(list.isSelected(1) && list.isSelected(2) && !list.isSelected(0));

    // A move of the current item by program keeps the selection.
    w.ta->makeEntryCurrent(0);
    QCOMPARE(view->currentIndex().row(), 0);
    QVERIFY(list.isSelected(1) && list.isSelected(2) && !list.isSelected(0));
    QCOMPARE(w.info(), QStringLiteral(" サイズ 0KB"));

    // A refill empties the selection and finds the current item by name.
    list.refresh("c.txt");
    QVERIFY(!list.anySelected());
    QCOMPARE(view->selectionModel()->selectedIndexes().size(), 0);
    QCOMPARE(view->currentIndex().row(), 2);
}

void MainWindowTest::busyIndicatorRunsOverEveryEntry() {
    Window w;
    for (int i = 0; i < 5; ++i) {
        writeFile(w.display + "f" + std::to_string(i) + ".txt", "x");
    }
    w.create();
    w.show();
    w.activate();
    QVERIFY(w.TXT->isVisible());
    w.ta->busy().begin(w.ta->fileList().count());
    QVERIFY(w.PB->isVisible());
    QCOMPARE(w.PB->maximum(), 5);
    QCOMPARE(w.PB->value(), 0);
    QVERIFY(!w.TXT->isVisible());
    QVERIFY(w.BOX->busyColour());
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    w.ta->busy().step();
    QCOMPARE(w.PB->value(), 1);
    w.ta->busy().end();
    QVERIFY(!w.PB->isVisible());
    QVERIFY(!w.BOX->busyColour());
    QVERIFY(QApplication::overrideCursor() == nullptr);
}

void MainWindowTest::resizeRuleFitsBarsToBox_data() {
    QTest::addColumn<int>("box");
    QTest::addColumn<int>("progress");
    QTest::addColumn<int>("track");
    QTest::newRow("250") << 250 << 230 << 130;
    QTest::newRow("400") << 400 << 300 << 280;
    QTest::newRow("500") << 500 << 300 << 300;
}

void MainWindowTest::resizeRuleFitsBarsToBox() {
    QFETCH(int, box);
    QFETCH(int, progress);
    QFETCH(int, track);
    Window w;
    w.create();
    w.show();
    w.ta->resize(w.ta->width() + box - w.BOX->width(), w.ta->height());
    QTRY_COMPARE(w.BOX->width(), box);
    QCOMPARE(w.PB->width(), progress);
    QCOMPARE(w.MPt->width(), track);
}

void MainWindowTest::chosenFolderIsAppliedByCaption() {
    Window w;
    QTemporaryDir other;
    writeFile(folderOf(other) + "x.txt", "x");
    w.create();
    w.show();
    w.activate();
    const std::string path = QFile::encodeName(other.path()).toStdString();
    w.ta->applyChosenFolder(QStringLiteral("出力フォルダの選択"), path);
    QCOMPARE(w.ta->outputFolder(), path + "/");
    QCOMPARE(w.ta->displayFolder(), w.display);
    w.ta->applyChosenFolder(QStringLiteral("表示フォルダの選択"), path);
    QCOMPARE(w.ta->displayFolder(), path + "/");
    QCOMPARE(w.SI->text(0), QString::fromStdString(" 表示フォルダ = " + path + "/"));
    QCOMPARE(w.ta->currentEntryName(), std::string("x.txt"));
}

void MainWindowTest::everyToolTabShowsAtTheDefaultSize() {
    Window w;
    w.start();
    QCOMPARE(w.ta->size(), QSize(650, 500));
    // The last tab ends inside the bar, and the bar shows no scroll arrows.
    QTabBar* tabs = w.Utility->tabBar();
    const QRect last = tabs->tabRect(tabs->count() - 1);
    QVERIFY2(last.right() < tabs->width(),
             qPrintable(QStringLiteral("%1 of %2").arg(last.right()).arg(tabs->width())));
    for (const QToolButton* arrow : tabs->findChildren<QToolButton*>()) {
        QVERIFY(!arrow->isVisible());
    }
}

// A folder and a file named in CP932 bytes (表示, whose first character ends
// in the byte of a backslash, and 写真.txt): the folder line, the questions and
// notices, the rename's list of old and new names and the full-screen name
// show them decoded, as the list does.
void MainWindowTest::namesThatAreNotUtf8ShowAsTheListShowsThem() {
    Window w;
    const std::string folder = w.display + "\x95\x5C\x8E\xA6/";
    QVERIFY(::mkdir(folder.c_str(), 0755) == 0);
    writeFile(folder + "\x8E\xCA\x90\x5E.txt", "x");
    writeFile(w.settings, test::seedSettingsText() + "[Set]\r\nDir=" + folder + "\r\n");
    w.start();
    const QString shown = QString::fromStdString(w.display) + QStringLiteral("表示/");
    QCOMPARE(w.SI->text(0), QStringLiteral(" 表示フォルダ = ") + shown);
    QCOMPARE(w.FL->model()->index(0, 0).data().toString(), QStringLiteral("写真.txt"));

    w.ta->setOutputFolder(folder);
    QCOMPARE(w.SO->text(0), QStringLiteral(" 出力フォルダ = ") + shown);

    w.FL->selectAll();
    w.prompter.answer = false;
    w.ta->findChild<QLineEdit*>("EExt")->setText(QStringLiteral("log"));
    w.ta->findChild<QPushButton*>("BEnt2")->click();
    QCOMPARE(w.prompter.details, QStringList{QStringLiteral("写真.txt -> 写真.log\n")});
    w.ta->findChild<QPushButton*>("BEnt4")->click();
    QCOMPARE(w.prompter.notices,
             QStringList{QStringLiteral("アイコン抽出|写真.txtにはアイコンは存在しません")});

    w.BF->click();
    QCOMPARE(w.full->statusText(0), QStringLiteral(" 写真.txt"));
    w.item("N9")->trigger();
}

void MainWindowTest::closeWritesSettings() {
    Window w("[Ext]\r\nExt=jpg\r\n\r\n", true, "FL_W=180\r\n");
    w.create();
    w.show();
    w.activate();
    QCOMPARE(w.FL->width(), 180);
    w.PV->setChecked(true);
    w.ta->close();
    const std::string text = readFile(w.settings);
    for (const std::string& line :
         std::vector<std::string>{"[Ext]\r\nExt=jpg\r\n", "Preview=1\r\n", "AutoPlay=0\r\n",
                                  "Dir=" + w.display + "\r\n", "Work=" + w.program + "\r\n",
                                  "[ShortCut]\r\nK1=13\r\nK2=8\r\nK3=45\r\n", "FL_W=180\r\n"}) {
        QVERIFY2(text.find(line) != std::string::npos, line.c_str());
    }
}

void MainWindowTest::unwritableSettingsAreReportedAndWindowCloses() {
    // A settings path below a plain file can be neither seeded nor saved.
    Window w({}, false);
    writeFile(w.program + "plain", "");
    w.settings = w.program + "plain/harpoly.ini";
    w.create();
    const QString failed = QStringLiteral(" エラーが発生しました。 ( 不正なファイル名 )");
    QCOMPARE(w.info(), failed);
    QCOMPARE(w.BExt->count(), 1); // the settings were not read
    QCOMPARE(w.ta->size(), QSize(650, 500));
    w.show();
    w.ta->showInfo({});
    w.ta->close();
    QVERIFY(!w.ta->isVisible());
    QCOMPARE(w.info(), failed);
}

int main(int argc, char** argv) {
    HarpolyApplication app(argc, argv);
    MainWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "main_window_test.moc"
