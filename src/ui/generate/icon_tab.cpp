// TS4 "アイコン抽出": writes the icons of the current file into the output
// folder as icon files, bitmaps or JPEG pictures.
#include "core/browse/file_list_port.h"
#include "core/generate/icon_extraction.h"
#include "ui/app/harpoly_application.h"
#include "ui/app/main_services.h"
#include "ui/app/tab_page.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>

namespace harpoly::ui {

ToolTab makeIconTab(MainServices& main) {
    ToolTab tab =
        makeBareTab("TS4", QStringLiteral("アイコン抽出"),
                    QStringLiteral("選択したファイルから出力フォルダへアイコンを抽出します"),
                    QStringLiteral("抽出"));
    auto* RG4 = new QComboBox(tab.page);
    RG4->setObjectName("RG4");
    RG4->addItems({QStringLiteral("アイコン(ico)"), QStringLiteral("ビットマップ(bmp)"),
                   QStringLiteral("Jpeg(jpg)")});
    RG4->setCurrentIndex(1);
    RG4->setToolTip(QStringLiteral("画像形式"));

    auto* row = new QHBoxLayout(tab.page);
    row->addWidget(RG4);
    row->addWidget(tab.action);
    row->addStretch(1);

    const std::string caption = tab.caption.toStdString();
    // RG4Change: only a choice by the user, not the initial selection.
    QObject::connect(RG4, &QComboBox::activated, tab.page, [&main, caption](int index) {
        noticeIconFormat(index, main.prompter(), caption);
    });
    // BEnt4Click. A picture that cannot be written is reported by the
    // application's error handler here, inside the slot, rather than thrown
    // through the toolkit's signal and event code.
    QObject::connect(tab.action, &QPushButton::clicked, tab.page, [&main, RG4, caption] {
        runReported([&] {
            FileListPort& list = main.fileList();
            const int current = list.currentIndex();
            IconExtractRequest request;
            request.name =
                current >= 0 && current < list.count() ? list.name(current) : std::string{};
            request.displayFolder = main.displayFolder();
            request.outputFolder = main.outputFolder();
            request.formatIndex = RG4->currentIndex();
            request.caption = caption;
            extractIcons(request, list, main.prompter(), main.busy(),
                         [&main] { main.previewCurrentEntry(); });
        });
    });
    return tab;
}

} // namespace harpoly::ui
