// TS3 "リンク作成": writes a link page, an album page or a playlist of the
// listed files into the display folder.
#include "core/generate/list_file.h"
#include "ui/app/harpoly_application.h"
#include "ui/app/main_services.h"
#include "ui/app/tab_page.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace harpoly::ui {

ToolTab makeLinkTab(MainServices& main) {
    ToolTab tab = makeBareTab("TS3", QStringLiteral("リンク作成"),
                              QStringLiteral("表示フォルダ内のファイルのリンク等を生成します"),
                              QStringLiteral("作成"));
    auto* label = new QLabel(QStringLiteral("ファイル名"), tab.page);
    auto* E3 = new QLineEdit(tab.page);
    E3->setObjectName("E3");
    label->setBuddy(E3);
    auto* RG3 = new QComboBox(tab.page);
    RG3->setObjectName("RG3");
    RG3->addItems({QStringLiteral("リンク(html)"), QStringLiteral("アルバム(html)"),
                   QStringLiteral("メタファイル(asx)"), QStringLiteral("メタファイル(smil)")});
    RG3->setCurrentIndex(0);
    RG3->setToolTip(QStringLiteral("出力形式を指定"));

    auto* row = new QHBoxLayout(tab.page);
    row->addWidget(label);
    row->addWidget(E3, 1);
    row->addWidget(RG3);
    row->addWidget(tab.action);
    row->addStretch(1);

    const QString caption = tab.caption;
    // BEnt3Click. A page that cannot be written is reported by the
    // application's error handler here, inside the slot, rather than thrown
    // through the toolkit's signal and event code.
    QObject::connect(tab.action, &QPushButton::clicked, tab.page, [&main, E3, RG3, caption] {
        runReported([&] {
            ListFileRequest request;
            request.typedName = E3->text().toStdString();
            request.kindIndex = RG3->currentIndex();
            request.kindText = RG3->currentText().toStdString();
            request.caption = caption.toStdString();
            request.displayFolder = main.displayFolder();
            request.settingsPath = main.settingsPath();
            makeListFile(request, main.fileList(), main.prompter(),
                         [&main] { main.previewCurrentEntry(); });
        });
    });
    return tab;
}

} // namespace harpoly::ui
