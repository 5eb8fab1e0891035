// The tool tabs that move JPEG pictures by pixel size: TS5 and TS6.
#include "core/app/number_field.h"
#include "core/batch/jpeg_selection.h"
#include "ui/app/main_services.h"
#include "ui/app/tab_page.h"
#include "ui/batch/batch_controls.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace harpoly::ui {

namespace {

const QString kMoveHint = QStringLiteral("該当ファイルを出力フォルダへ移動します");
const QString kPixelHint = QStringLiteral("ピクセル数で指定");
const QStringList kComparisons = {QStringLiteral("以上"), QStringLiteral("同じ"),
                                  QStringLiteral("以下")};

// A threshold field with its up-down: shows "0" at start, 0 to 10000 by 1.
QLineEdit* addThreshold(QBoxLayout* row, const QString& name, const QString& upDownName,
                        const QString& label, const QString& hint, bool labelAfter) {
    QLineEdit* edit = addLabelledEdit(row, name, label, hint, labelAfter);
    edit->setText(QStringLiteral("0"));
    auto* upDown = new UpDown(edit, 0, 10000);
    upDown->setObjectName(upDownName);
    row->insertWidget(row->indexOf(edit) + 1, upDown);
    return edit;
}

std::int32_t threshold(const QLineEdit* edit) {
    return readNumberField(edit->text().toStdString(), 0);
}

void selectOnClick(MainServices& main, const ToolTab& tab,
                   std::function<JpegSizeCondition()> condition) {
    QObject::connect(tab.action, &QPushButton::clicked, tab.page, [&main, tab, condition] {
        runReportingErrors(main, [&] {
            selectJpegsBySize(batchPorts(main), main.displayFolder(), main.outputFolder(),
                              tab.caption.toStdString(), condition());
        });
    });
}

} // namespace

ToolTab makeJpegSize1Tab(MainServices& main) {
    ToolTab tab = makeBareTab("TS5", QStringLiteral("JPG選別1"), kMoveHint, QStringLiteral("実行"));
    QHBoxLayout* row = startRow(tab);
    QLineEdit* ew = addThreshold(row, "EW", "UPW", QStringLiteral("幅 :"), kPixelHint, false);
    QComboBox* cw = addDropDown(row, "CW", kComparisons);
    QComboBox* cx = addDropDown(row, "CX", {QStringLiteral("かつ"), QStringLiteral("または")});
    QLineEdit* eh = addThreshold(row, "EH", "UPH", QStringLiteral("高さ :"), kPixelHint, false);
    QComboBox* ch = addDropDown(row, "CH", kComparisons);
    finishRow(row, tab);

    // BEnt5Click
    selectOnClick(main, tab, [=] {
        return JpegSizeCondition::widthAndHeight(cw->currentIndex(), threshold(ew),
                                                 cx->currentIndex(), ch->currentIndex(),
                                                 threshold(eh));
    });
    return tab;
}

ToolTab makeJpegSize2Tab(MainServices& main) {
    ToolTab tab = makeBareTab("TS6", QStringLiteral("JPG選別2"), kMoveHint, QStringLiteral("実行"));
    QHBoxLayout* row = startRow(tab);
    auto* l6 = new QLabel(QStringLiteral("面積 :"));
    l6->setObjectName(QStringLiteral("L6"));
    row->addWidget(l6);
    QLineEdit* sq = addThreshold(row, "SQ", "UpDown1", QStringLiteral("平方ピクセル"),
                                 QStringLiteral("縦×横のピクセル数"), true);
    QComboBox* csq = addDropDown(row, "CSQ", kComparisons);
    finishRow(row, tab);

    // BEnt6Click
    selectOnClick(main, tab,
                  [=] { return JpegSizeCondition::area(csq->currentIndex(), threshold(sq)); });
    return tab;
}

} // namespace harpoly::ui
