// Builds the batch tabs through their factories and drives one click end to end.
#include "app/main_services.h"
#include "app/tool_tabs.h"
#include "app/ui_ports.h"
#include "browse/file_list_port.h"

#include <QComboBox>
#include <QDateEdit>
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
    bool isSelected(int) const override { return true; }
    bool anySelected() const override { return !names.empty(); }
    int currentIndex() const override { return names.empty() ? -1 : 0; }
    void refresh(const std::string& name) override { refreshed.push_back(name); }
    std::vector<std::string> names;
    std::vector<std::string> refreshed;
};

class Answers : public Prompter {
public:
    bool ask(const std::string& q, const std::string& c, const std::string&) override {
        question = q;
        caption = c;
        if (whileAsked) {
            whileAsked();
        }
        return true;
    }
    void notice(const std::string& t, const std::string& c) override { noticed = t + "|" + c; }
    std::string question, caption, noticed;
    std::function<void()> whileAsked;
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
    std::string outputFolder() const override { return folder; }
    std::string settingsPath() const override { return folder + "harpoly.ini"; }
    void previewCurrent() override {}
    void showInfo(const std::string& text) override { info = text; }
    QWidget* mainWindow() override { return nullptr; }

    std::string folder;
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
};

QTEST_MAIN(BatchTabsTest)
#include "batch_tabs_test.moc"
