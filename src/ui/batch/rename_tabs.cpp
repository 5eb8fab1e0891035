// The tool tabs that rename the selected files: TS1, TS7, TS9 and TS2.
#include "core/batch/batch_renames.h"
#include "ui/app/main_services.h"
#include "ui/app/tab_page.h"
#include "ui/batch/batch_controls.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace harpoly::ui {

namespace {

const QString kSelectHint = QStringLiteral("左のリストからファイルを選択してください(複数可)");

// Empties the start-number field when the click is over, however it ends.
class ClearOnExit {
public:
    explicit ClearOnExit(QLineEdit* edit) : edit_(edit) {}
    ~ClearOnExit() { edit_->clear(); }
    ClearOnExit(const ClearOnExit&) = delete;
    ClearOnExit& operator=(const ClearOnExit&) = delete;

private:
    QLineEdit* edit_;
};

} // namespace

ToolTab makeRename1Tab(MainServices& main) {
    ToolTab tab =
        makeBareTab("TS1", QStringLiteral("リネーム1"), kSelectHint, QStringLiteral("変換"));
    QHBoxLayout* row = startRow(tab);
    QLineEdit* e1 = addLabelledEdit(row, "E1", QStringLiteral("新ファイル名 : "),
                                    QStringLiteral("ファイル名を入力してください"));
    QLineEdit* e2 = addLabelledEdit(
        row, "E2", QStringLiteral("先頭番号 : "),
        QStringLiteral("末尾に一連番号がつきます。先頭番号を入力してください。(デフォルトは1)"));
    finishRow(row, tab);

    // BEnt1Click
    QObject::connect(tab.action, &QPushButton::clicked, tab.page, [&main, e1, e2, tab] {
        ClearOnExit clearStart(e2);
        const std::int32_t start = numberedRenameStart(e2->text().toStdString());
        e2->setText(QString::number(start)); // the field shows the number in use while asked
        runReportingErrors(main, [&] {
            renameNumbered(batchPorts(main), main.displayFolder(), tab.caption.toStdString(),
                           nameBytes(e1->text()), start);
        });
    });
    return tab;
}

ToolTab makeRename2Tab(MainServices& main) {
    ToolTab tab =
        makeBareTab("TS7", QStringLiteral("リネーム2"), kSelectHint, QStringLiteral("変換"));
    QHBoxLayout* row = startRow(tab);
    QComboBox* cb7 = addDropDown(row, "CB7", {QStringLiteral("先頭に"), QStringLiteral("末尾に")});
    QLineEdit* e7 = addLabelledEdit(row, "E7", QStringLiteral("を挿入"),
                                    QStringLiteral("挿入する文字列"), true);
    finishRow(row, tab);

    // BEnt7Click
    QObject::connect(tab.action, &QPushButton::clicked, tab.page, [&main, cb7, e7, tab] {
        runReportingErrors(main, [&] {
            renameInsert(batchPorts(main), main.displayFolder(), tab.caption.toStdString(),
                         cb7->currentIndex(), nameBytes(e7->text()));
        });
    });
    return tab;
}

ToolTab makeRename3Tab(MainServices& main) {
    ToolTab tab =
        makeBareTab("TS9", QStringLiteral("リネーム3"), kSelectHint, QStringLiteral("変換"));
    QHBoxLayout* row = startRow(tab);
    QLineEdit* e91 = addLabelledEdit(row, "E91", QStringLiteral("検索する文字列 : "), QString());
    QLineEdit* e92 = addLabelledEdit(row, "E92", QStringLiteral("置換する文字列 : "), QString());
    finishRow(row, tab);

    // BEnt9Click
    QObject::connect(tab.action, &QPushButton::clicked, tab.page, [&main, e91, e92, tab] {
        runReportingErrors(main, [&] {
            renameReplace(batchPorts(main), main.displayFolder(), tab.caption.toStdString(),
                          nameBytes(e91->text()), nameBytes(e92->text()));
        });
    });
    return tab;
}

ToolTab makeExtensionTab(MainServices& main) {
    ToolTab tab =
        makeBareTab("TS2", QStringLiteral("拡張子変換"), kSelectHint, QStringLiteral("変換"));
    QHBoxLayout* row = startRow(tab);
    QLineEdit* ext =
        addLabelledEdit(row, "EExt", QStringLiteral("新拡張子 : "), QStringLiteral("拡張子を指定"));
    finishRow(row, tab);

    // BEnt2Click
    QObject::connect(tab.action, &QPushButton::clicked, tab.page, [&main, ext, tab] {
        runReportingErrors(main, [&] {
            changeExtension(batchPorts(main), main.displayFolder(), tab.caption.toStdString(),
                            nameBytes(ext->text()));
        });
    });
    return tab;
}

} // namespace harpoly::ui
