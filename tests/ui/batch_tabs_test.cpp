// Builds the batch tabs through their factories and drives one click end to end.
#include "core/app/ui_ports.h"
#include "core/browse/file_list_port.h"
#include "core/imaging/icon_writers.h"
#include "core/imaging/image.h"
#include "ui/app/main_services.h"
#include "ui/app/tool_tabs.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <fstream>
#include <memory>

using namespace harpoly;

namespace {

class ListOfNames : public FileListPort {
public:
    int count() const override { return static_cast<int>(names.size()); }
    std::string name(int i) const override { return names.at(i); }
    bool isSelected(int) const override { return selected; }
    bool anySelected() const override { return selected && !names.empty(); }
    int currentIndex() const override { return names.empty() ? -1 : 0; }
    void refresh(const std::string& name) override { refreshed.push_back(name); }
    std::vector<std::string> names;
    std::vector<std::string> refreshed;
    bool selected = true;
};

class Answers : public Prompter {
public:
    bool ask(const std::string& q, const std::string& c, const std::string&) override {
        question = q;
        caption = c;
        if (whileAsked) {
            whileAsked();
        }
        return answer;
    }
    void notice(const std::string& t, const std::string& c) override {
        noticed = t + "|" + c;
        if (whileAsked) {
            whileAsked();
        }
    }
    std::string question, caption, noticed;
    std::function<void()> whileAsked; // runs while a question or a notice is shown
    bool answer = true;
};

class NoBusy : public BusyIndicator {
public:
    void begin(int) override {}
    void step() override { ++steps; }
    void end() override {}
    int steps = 0;
};

class FakeMain : public ui::MainServices {
public:
    Prompter& prompter() override { return answers; }
    BusyIndicator& busy() override { return bar; }
    FileListPort& fileList() override { return list; }
    std::string programFolder() const override { return folder; }
    std::string displayFolder() const override { return folder; }
    std::string outputFolder() const override { return output.empty() ? folder : output; }
    std::string settingsPath() const override { return folder + "harpoly.ini"; }
    void previewCurrentEntry() override {}
    void showInfo(const std::string& text) override { info = text; }
    QWidget* mainWindow() override { return nullptr; }
    QDateTime now() const override { return QDateTime::currentDateTime(); }

    std::string folder;
    std::string output;
    Answers answers;
    NoBusy bar;
    ListOfNames list;
    std::string info;
};

} // namespace

class BatchTabsTest : public QObject {
    Q_OBJECT

private slots:
    void numberedRenameClick() {
        QTemporaryDir dir;
        FakeMain main;
        main.folder = dir.path().toStdString() + "/";
        for (const char* n : {"x.JPG", "y.txt"}) {
            std::ofstream(main.folder + n) << n;
            main.list.names.push_back(n);
        }
        ui::ToolTab tab = ui::makeRename1Tab(main);
        std::unique_ptr<QWidget> page(tab.page);
        QCOMPARE(tab.caption, QStringLiteral("リネーム1"));
        auto* e1 = page->findChild<QLineEdit*>("E1");
        auto* e2 = page->findChild<QLineEdit*>("E2");
        QVERIFY(e1 && e2);
        e1->setText(QStringLiteral("旅行"));
        e2->setText(QStringLiteral(" 7"));
        QString shownWhileAsked;
        main.answers.whileAsked = [&] { shownWhileAsked = e2->text(); };

        QTest::mouseClick(tab.action, Qt::LeftButton);

        QCOMPARE(QString::fromStdString(main.answers.question),
                 QStringLiteral("選択ファイルを旅行7等に変更しますか?"));
        QCOMPARE(QString::fromStdString(main.answers.caption), QStringLiteral("リネーム1"));
        QCOMPARE(shownWhileAsked, QStringLiteral("7"));
        QVERIFY(e2->text().isEmpty());
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("旅行7.jpg"))));
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("旅行8.txt"))));
        QCOMPARE(main.list.refreshed, std::vector<std::string>{"旅行7.jpg"});
    }

    void controlsStartAsTheyShould() {
        FakeMain main;
        ui::ToolTab ts5 = ui::makeJpegSize1Tab(main);
        std::unique_ptr<QWidget> page5(ts5.page);
        QCOMPARE(ts5.action->objectName(), QStringLiteral("BEnt5"));
        QCOMPARE(page5->findChild<QLineEdit*>("EW")->text(), QStringLiteral("0"));
        QCOMPARE(page5->findChild<QComboBox*>("CX")->currentText(), QStringLiteral("かつ"));
        QVERIFY(page5->findChild<QWidget*>("UPW"));
        ui::ToolTab ts8 = ui::makeTimestampTab(main);
        std::unique_ptr<QWidget> page8(ts8.page);
        QCOMPARE(page8->findChild<QComboBox*>("CB8")->currentText(), QStringLiteral("更新日時"));
        QCOMPARE(page8->findChild<QDateEdit*>("DT1")->date(), QDate::currentDate());
        main.list.names = {"a.jpg"};
        page8->findChild<QComboBox*>("CB8")->setCurrentIndex(0);
        QTest::mouseClick(ts8.action, Qt::LeftButton);
        QCOMPARE(QString::fromStdString(main.answers.noticed),
                 QStringLiteral("この環境では作成日時を変更できません。|タイムスタンプ"));
    }

    // The start number shows normalised while the question or the refusal
    // notice is up, and the field is empty afterwards however the click ends.
    void startNumberFieldAroundTheQuestion() {
        struct Case {
            const char* what;
            QString typed;
            bool selected;
            bool answer;
            QString shownWhileAsked;
            const char* noticed;
            const char* renamedTo; // nullptr: x.JPG keeps its name
        };
        const Case cases[] = {
            {"not a number, OK", QStringLiteral("abc"), true, true, QStringLiteral("1"), "",
             "a1.jpg"},
            {"trailing blank, OK", QStringLiteral("7 "), true, true, QStringLiteral("1"), "",
             "a1.jpg"},
            {"Cancel", QStringLiteral("7"), true, false, QStringLiteral("7"), "", nullptr},
            {"nothing selected", QStringLiteral(" 7"), false, true, QStringLiteral("7"),
             "ファイルが選択されていません。|処理中止", nullptr},
        };
        for (const Case& c : cases) {
            QTemporaryDir dir;
            FakeMain main;
            main.folder = dir.path().toStdString() + "/";
            std::ofstream(main.folder + "x.JPG") << "x";
            main.list.names = {"x.JPG"};
            main.list.selected = c.selected;
            main.answers.answer = c.answer;
            ui::ToolTab tab = ui::makeRename1Tab(main);
            std::unique_ptr<QWidget> page(tab.page);
            page->findChild<QLineEdit*>("E1")->setText(QStringLiteral("a"));
            auto* e2 = page->findChild<QLineEdit*>("E2");
            e2->setText(c.typed);
            QString shown;
            main.answers.whileAsked = [&] { shown = e2->text(); };

            QTest::mouseClick(tab.action, Qt::LeftButton);

            QVERIFY2(shown == c.shownWhileAsked, c.what);
            QVERIFY2(main.answers.noticed == c.noticed, c.what);
            QVERIFY2(e2->text().isEmpty(), c.what);
            const QStringList files = QDir(dir.path()).entryList(QDir::Files);
            QVERIFY2(files == QStringList{QString::fromUtf8(c.renamedTo ? c.renamedTo : "x.JPG")},
                     c.what);
        }
    }

    // The thresholds and lists of both JPEG tabs as the user sets them, on a
    // 640 x 480 picture: a value typed beyond the up-down's range counts as
    // typed, and a text that is not a plain number reads as 0.
    void jpegTabsReadTheirFieldsAsTyped() {
        struct Case {
            const char* what;
            bool areaTab;
            QString first;  // EW or SQ
            int firstItem;  // CW or CSQ
            int join;       // CX
            QString height; // EH
            int heightItem; // CH
            bool moved;
        };
        const Case cases[] = {
            {"area equal to the product", true, QStringLiteral("307200"), 1, 0, {}, 0, true},
            {"area at most one less", true, QStringLiteral("307199"), 2, 0, {}, 0, false},
            {"width at least 800 and height at most 480", false, QStringLiteral("800"), 0, 0,
             QStringLiteral("480"), 2, false},
            {"width at least 800 or height at most 480", false, QStringLiteral("800"), 0, 1,
             QStringLiteral("480"), 2, true},
            {"width equal 640 and height at least 0", false, QStringLiteral("640"), 1, 0,
             QStringLiteral("0"), 0, true},
            {"width 1,000 reads as 0", false, QStringLiteral("1,000"), 0, 0, QStringLiteral("0"), 0,
             true},
            {"width with a trailing blank reads as 0", false, QStringLiteral("800 "), 0, 0,
             QStringLiteral("0"), 0, true},
        };
        const std::vector<std::uint8_t> picture = encodeJpeg(RgbaImage(640, 480, 0xFF808080u));
        for (const Case& c : cases) {
            QTemporaryDir display, output;
            FakeMain main;
            main.folder = display.path().toStdString() + "/";
            main.output = output.path().toStdString() + "/";
            std::ofstream(main.folder + "p.jpg", std::ios::binary)
                .write(reinterpret_cast<const char*>(picture.data()),
                       static_cast<std::streamsize>(picture.size()));
            main.list.names = {"p.jpg"};
            main.list.selected = false;
            ui::ToolTab tab = c.areaTab ? ui::makeJpegSize2Tab(main) : ui::makeJpegSize1Tab(main);
            std::unique_ptr<QWidget> page(tab.page);
            if (c.areaTab) {
                page->findChild<QLineEdit*>("SQ")->setText(c.first);
                page->findChild<QComboBox*>("CSQ")->setCurrentIndex(c.firstItem);
            } else {
                page->findChild<QLineEdit*>("EW")->setText(c.first);
                page->findChild<QComboBox*>("CW")->setCurrentIndex(c.firstItem);
                page->findChild<QComboBox*>("CX")->setCurrentIndex(c.join);
                page->findChild<QLineEdit*>("EH")->setText(c.height);
                page->findChild<QComboBox*>("CH")->setCurrentIndex(c.heightItem);
            }

            QTest::mouseClick(tab.action, Qt::LeftButton);

            QVERIFY2(main.answers.question == "出力フォルダに対象ファイルを移動しますか?", c.what);
            QVERIFY2(QFile::exists(output.filePath(QStringLiteral("p.jpg"))) == c.moved, c.what);
            QVERIFY2(QFile::exists(display.filePath(QStringLiteral("p.jpg"))) != c.moved, c.what);
        }
    }
};

QTEST_MAIN(BatchTabsTest)
#include "batch_tabs_test.moc"
