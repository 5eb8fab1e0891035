// The link tab (TS3) and the icon tab (TS4) over a stand-in main window.
#include "../core/generate/generate_fakes.h"
#include "../core/generate/icon_test_files.h"
#include "ui/app/main_services.h"
#include "ui/app/tool_tabs.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>
#include <QtTest>

#include <memory>

using namespace harpoly;
using namespace harpoly::generate_test;

namespace {

class FakeMain : public ui::MainServices {
public:
    ScriptedPrompter prompts;
    RecordingBusy busyIndicator;
    FakeFileList list;
    TempFolder display;
    TempFolder output;
    TempFolder program;
    int previews = 0;
    QWidget window;

    Prompter& prompter() override { return prompts; }
    BusyIndicator& busy() override { return busyIndicator; }
    FileListPort& fileList() override { return list; }
    std::string programFolder() const override { return program.path(); }
    std::string displayFolder() const override { return display.path(); }
    std::string outputFolder() const override { return output.path(); }
    std::string settingsPath() const override { return program.path() + "harpoly.ini"; }
    void previewCurrentEntry() override { ++previews; }
    void showInfo(const std::string&) override {}
    QWidget* mainWindow() override { return &window; }
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

} // namespace

class GenerateTabsTest : public QObject {
    Q_OBJECT

private slots:
    void linkTabWritesTheChosenKind() {
        FakeMain main;
        main.program.write("harpoly.ini", "[Ext]\r\nWM=mpg,wmv\r\n");
        main.list.names = {"clip.WMV", "memo.txt"};
        ui::ToolTab tab = ui::makeLinkTab(main);
        std::unique_ptr<QWidget> page(tab.page);
        QCOMPARE(tab.caption, QStringLiteral("リンク作成"));
        auto* E3 = page->findChild<QLineEdit*>("E3");
        auto* RG3 = page->findChild<QComboBox*>("RG3");
        QVERIFY(E3 && RG3);
        QCOMPARE(RG3->count(), 4);
        QCOMPARE(RG3->currentText(), QStringLiteral("リンク(html)"));
        QCOMPARE(tab.action->objectName(), QStringLiteral("BEnt3"));

        E3->setText(QStringLiteral("プレイ"));
        RG3->setCurrentIndex(2);
        tab.action->click();
        QCOMPARE(main.prompts.boxes.size(), std::size_t{1});
        QCOMPARE(QString::fromStdString(main.prompts.boxes[0].text),
                 QStringLiteral("メタファイル(asx)を作成ますか? (ファイル名:プレイ.asx)"));
        QCOMPARE(
            main.display.read("プレイ.asx"),
            std::string(" \r\n<asx>\r\n<ENTRY><REF HREF=\"clip.WMV\" /></ENTRY>\r\n</ASX>\r\n"));
        QCOMPARE(main.list.refreshedWith.size(), std::size_t{1});
    }

    void iconTabExtractsTheCurrentItem() {
        FakeMain main;
        using namespace harpoly::icon_test;
        main.display.writeBytes("tool.exe",
                                peFile({{solidImage(32, 4, 9)}, {solidImage(32, 4, 12)}}));
        main.list.names = {"readme.txt", "tool.exe"};
        main.list.current = 1;
        ui::ToolTab tab = ui::makeIconTab(main);
        std::unique_ptr<QWidget> page(tab.page);
        auto* RG4 = page->findChild<QComboBox*>("RG4");
        QVERIFY(RG4);
        QCOMPARE(RG4->currentText(), QStringLiteral("ビットマップ(bmp)"));
        QVERIFY(main.prompts.boxes.empty()); // the initial choice shows nothing

        RG4->setCurrentIndex(2);
        emit RG4->activated(2);
        QVERIFY(main.prompts.boxes.empty());
        RG4->setCurrentIndex(0);
        emit RG4->activated(0);
        QCOMPARE(main.prompts.boxes.size(), std::size_t{1});
        QCOMPARE(QString::fromStdString(main.prompts.boxes[0].text),
                 QStringLiteral("アイコン形式の正常出力は16色アイコンだけです。"));

        RG4->setCurrentIndex(2);
        main.prompts.boxes.clear();
        tab.action->click();
        QCOMPARE(main.prompts.boxes.size(), std::size_t{1});
        QVERIFY(main.output.exists("tool-0.jpg"));
        QVERIFY(main.output.exists("tool-1.jpg"));
        QCOMPARE(main.busyIndicator.begun, 2);
        QVERIFY(main.busyIndicator.ended);
        QCOMPARE(main.previews, 1);
    }
};

QTEST_MAIN(GenerateTabsTest)
#include "generate_tabs_test.moc"
