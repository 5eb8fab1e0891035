// The tool tab that sets the last-write time of the selected files: TS8.
#include "core/batch/timestamp_change.h"
#include "core/platform/file_times.h"
#include "core/platform/time_zone.h"
#include "ui/app/main_services.h"
#include "ui/app/tab_page.h"
#include "ui/batch/batch_controls.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTimeEdit>

namespace harpoly::ui {

namespace {

QLabel* addLabel(QBoxLayout* row, const QString& name, const QString& text) {
    auto* label = new QLabel(text);
    label->setObjectName(name);
    row->addWidget(label);
    return label;
}

} // namespace

ToolTab makeTimestampTab(MainServices& main) {
    ToolTab tab = makeBareTab("TS8", QStringLiteral("タイムスタンプ"),
                              QStringLiteral("左のリストからファイルを選択してください(複数可)"),
                              QStringLiteral("変更"));
    QHBoxLayout* row = startRow(tab);
    QComboBox* cb8 = addDropDown(
        row, "CB8", {QStringLiteral("作成日時"), QStringLiteral("更新日時")}, kLastWriteTimeItem);
    addLabel(row, "L81", QStringLiteral("を"));
    // The pickers hold a wall-clock date and time of day, nothing more: both
    // are kept in UTC only so that Qt never converts them between zones (a
    // date picker in the local zone would show the UTC date, or move it, near
    // midnight). They start on the local date and time now.
    const QDateTime now = main.now().toLocalTime();
    auto* dt1 = new QDateEdit;
    dt1->setObjectName(QStringLiteral("DT1"));
    dt1->setTimeSpec(Qt::UTC);
    dt1->setCalendarPopup(true);
    dt1->setDisplayFormat(QLocale().dateFormat(QLocale::ShortFormat));
    dt1->setDateTime(QDateTime(now.date(), now.time(), Qt::UTC));
    row->addWidget(dt1);
    auto* dt2 = new QTimeEdit;
    dt2->setObjectName(QStringLiteral("DT2"));
    dt2->setTimeSpec(Qt::UTC);
    dt2->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    dt2->setTime(now.time());
    row->addWidget(dt2);
    addLabel(row, "L82", QStringLiteral("に"));
    finishRow(row, tab);

    // BEnt8Click
    QObject::connect(tab.action, &QPushButton::clicked, tab.page, [&main, tab, cb8, dt1, dt2] {
        // The date takes the time of day on every click, before the question;
        // what it shows stays.
        const QDate d = dt1->date();
        const QTime t = dt2->time();
        dt1->setDateTime(QDateTime(d, t, Qt::UTC));
        const UtcMoment moment =
            toUtc({d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second(), t.msec()},
                  standardOffsetHours());
        TimestampPorts ports{main.fileList(), main.prompter(), main.busy(), setLastWriteTime,
                             [&main] { main.previewCurrentEntry(); }};
        runReportingErrors(main, [&] {
            changeTimestamps(ports, main.displayFolder(), tab.caption.toStdString(),
                             cb8->currentIndex(), moment);
        });
    });
    return tab;
}

} // namespace harpoly::ui
