// The timestamp tab writes the moment its pickers show, in every time zone:
// the main window runs at a fixed clock in a zone set for the test.
#include "window_rig.h"

#include <QDateEdit>
#include <QTimeEdit>
#include <cstdlib>
#include <ctime>
#include <sys/stat.h>

namespace t = harpoly::test;

namespace {

// The process's time zone for one test, as TZ sets it.
class ZoneForTest {
public:
    explicit ZoneForTest(const char* zone) {
        if (const char* old = std::getenv("TZ")) {
            old_ = old;
        }
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~ZoneForTest() {
        if (old_.empty()) {
            ::unsetenv("TZ");
        } else {
            ::setenv("TZ", old_.c_str(), 1);
        }
        ::tzset();
    }
    ZoneForTest(const ZoneForTest&) = delete;
    ZoneForTest& operator=(const ZoneForTest&) = delete;

private:
    std::string old_;
};

QDateTime utc(int y, int mo, int d, int h, int mi, int s) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
}

qint64 modificationTime(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mtim.tv_sec : -1;
}

// The program started at `now`, with one file a.txt selected on the
// timestamp tab.
struct TimestampWindows : t::WindowRig {
    QDateEdit* DT1 = nullptr;
    QTimeEdit* DT2 = nullptr;
    QPushButton* BEnt8 = nullptr;

    explicit TimestampWindows(const QDateTime& now) {
        clock = [now] { return now; };
        t::writeFile(display + "a.txt", "x");
        t::writeFile(settings, "[Set]\r\nDir=" + display + "\r\n");
        start();
        FL->selectAll();
        Utility->setCurrentIndex(7);
        DT1 = ta->findChild<QDateEdit*>("DT1");
        DT2 = ta->findChild<QTimeEdit*>("DT2");
        BEnt8 = ta->findChild<QPushButton*>("BEnt8");
    }
    qint64 written() const { return modificationTime(display + "a.txt"); }
};

} // namespace

class TimestampTabTest : public QObject {
    Q_OBJECT

private slots:
    // Zones east and west of UTC at moments when their date is not UTC's;
    // the offset added is the zone's standard one in whole hours, so a
    // summer moment is written one hour later than it happened.
    void writesThePickersMomentInEveryZone_data() {
        QTest::addColumn<QString>("zone");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QDateTime>("written");
        QTest::newRow("Tokyo") << "Asia/Tokyo" << utc(2026, 12, 10, 16, 11, 14) << "2026/12/11"
                               << "01:11:14" << utc(2026, 12, 10, 16, 11, 14);
        QTest::newRow("JST-9") << "JST-9" << utc(2026, 12, 10, 16, 11, 14) << "2026/12/11"
                               << "01:11:14" << utc(2026, 12, 10, 16, 11, 14);
        QTest::newRow("Kiritimati, UTC+14")
            << "Pacific/Kiritimati" << utc(2026, 12, 10, 12, 0, 5) << "2026/12/11"
            << "02:00:05" << utc(2026, 12, 10, 12, 0, 5);
        QTest::newRow("Pago Pago, UTC-11")
            << "Pacific/Pago_Pago" << utc(2026, 12, 11, 5, 30, 40) << "2026/12/10"
            << "18:30:40" << utc(2026, 12, 11, 5, 30, 40);
        QTest::newRow("Auckland in summer, standard UTC+12")
            << "Pacific/Auckland" << utc(2026, 12, 10, 11, 30, 0) << "2026/12/11"
            << "00:30:00" << utc(2026, 12, 10, 12, 30, 0);
        QTest::newRow("EST5EDT in summer, standard UTC-5")
            << "EST5EDT" << utc(2026, 7, 11, 2, 0, 0) << "2026/07/10"
            << "22:00:00" << utc(2026, 7, 11, 3, 0, 0);
    }
    void writesThePickersMomentInEveryZone() {
        QFETCH(QString, zone);
        QFETCH(QDateTime, now);
        QFETCH(QString, date);
        QFETCH(QString, time);
        QFETCH(QDateTime, written);
        const ZoneForTest inZone(zone.toLatin1().constData());
        TimestampWindows w(now);
        QCOMPARE(w.DT1->text(), date);
        QCOMPARE(w.DT2->text(), time);
        w.BEnt8->click();
        QCOMPARE(w.prompter.asked,
                 QStringList{"タイムスタンプ|選択ファイルの更新日時を変更しますか?"});
        QCOMPARE(w.written(), written.toSecsSinceEpoch());
        QCOMPARE(w.DT1->text(), date);
        QCOMPARE(w.DT2->text(), time);
    }

    // The user's own date and time are written; clicks answered Cancel move
    // neither picker.
    void cancelledClicksLeaveThePickersAlone() {
        const ZoneForTest inZone("Asia/Tokyo");
        TimestampWindows w(utc(2026, 12, 10, 16, 12, 0));
        w.DT1->setDate(QDate(2027, 1, 2));
        w.DT2->setTime(QTime(3, 4, 5));
        const qint64 before = w.written();
        w.prompter.answer = false;
        for (int i = 0; i < 3; ++i) {
            w.BEnt8->click();
            QCOMPARE(w.DT1->text(), QStringLiteral("2027/01/02"));
            QCOMPARE(w.DT2->text(), QStringLiteral("03:04:05"));
        }
        QCOMPARE(w.written(), before);
        w.prompter.answer = true;
        w.BEnt8->click();
        QCOMPARE(w.written(), utc(2027, 1, 1, 18, 4, 5).toSecsSinceEpoch());
    }
};

HARPOLY_WINDOW_TEST_MAIN(TimestampTabTest)
#include "timestamp_tab_test.moc"
