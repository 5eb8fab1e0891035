// Full-screen view: entering and leaving, stepping through the list with the
// menu keys, the picture modes and their scrolling, and the ways out.
#include "media_fixtures.h"
#include "ui/browse/image_pane.h"
#include "ui/browse/media_player.h"
#include "ui/browse/preview_box.h"
#include "window_rig.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSlider>
#include <QSplitter>
#include <QTimer>
#include <QWindow>

using Windows = harpoly::test::StartedWindows;
namespace t = harpoly::test;

namespace {

constexpr int kWait = 15000;

// a.bmp, b.txt, c.bmp (larger than any screen here), d.mpg, in list order.
void fillFolder(const QString& folder) {
    QImage small(40, 30, QImage::Format_RGB32);
    small.fill(Qt::red);
    small.save(folder + "/a.bmp");
    t::writeBytes(folder + "/b.txt", "hello\n");
    QImage big(1500, 1200, QImage::Format_RGB32);
    big.fill(Qt::blue);
    big.save(folder + "/c.bmp");
    t::makeMpg(folder + "/d.mpg", 3);
}

} // namespace

class FullScreenTest : public QObject {
    Q_OBJECT

    static QWidget* target(Windows& w) {
        QWidget* focus = w.full->focusWidget();
        return focus != nullptr ? focus : w.full;
    }
    static void key(Windows& w, Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::keyClick(target(w), k, m);
    }
    static void enter(Windows& w) {
        w.BF->click();
        QVERIFY(QTest::qWaitForWindowExposed(w.full));
    }
    static QString fullName(Windows& w) { return w.full->statusText(0); }
    static harpoly::ui::PanelBar* statusBar(Windows& w) {
        return w.full->findChild<harpoly::ui::PanelBar*>(QStringLiteral("SF"));
    }

private slots:
    void entersAndLeavesWithTheSavedCheckBoxes() {
        Windows w(fillFolder, "Preview=1\r\nAutoPlay=0\r\n");
        QVERIFY(w.PV->isChecked());
        QVERIFY(!w.pM->isChecked());
        auto& list = w.ta->fileList();
        // The user selects b.txt and c.bmp; c.bmp is current.
        QItemSelectionModel* view = w.FL->selectionModel();
        w.ta->makeEntryCurrent(2);
        for (int row : {1, 2}) {
            view->select(w.FL->model()->index(row, 0), QItemSelectionModel::Select);
        }
        QVERIFY(!list.isSelected(0) && list.isSelected(1) && list.isSelected(2));
        const QList<int> sizes = w.c_splitter->sizes();

        enter(w);
        QVERIFY(w.ta->fullScreenOn());
        QVERIFY(!w.ta->isEnabled());
        QCOMPARE(w.c_splitter->sizes(), sizes);
        // The whole screen, whether or not a window manager maximises it.
        QCOMPARE(w.full->geometry(), w.ta->screen()->availableGeometry());
        QVERIFY(statusBar(w)->isVisible());
        QCOMPARE(statusBar(w)->geometry().bottom(), w.full->height() - 1);
        QVERIFY(!w.PV->isChecked()); // every file previewed
        QVERIFY(w.pM->isChecked());  // media plays at once
        QCOMPARE(fullName(w), QStringLiteral(" c.bmp"));
        QVERIFY(w.full->statusText(1).startsWith(" 幅 1500  高さ 1200"));
        QCOMPARE(w.full->statusText(3), QStringLiteral(" 右クリックで操作"));
        QTRY_VERIFY(w.IMG->isVisible()); // once decoded

        w.item("N1")->trigger();
        QCOMPARE(fullName(w), QStringLiteral(" d.mpg"));
        QVERIFY(w.MPC->isPlaying());
        // Stretched over the whole preview area, under the buttons.
        QCOMPARE(w.MPC->displayRect(), w.MPP->rect());
        QVERIFY(w.MPt->width() > 0); // as wide as in the main window
        QTRY_VERIFY_WITH_TIMEOUT(w.full->statusText(2).startsWith(" 経過時間 "), kWait);
        // The slider shows the position there but never seeks.
        w.MPt->setFocus();
        w.MPt->setValue(2);
        QVERIFY(w.MPC->isPlaying());

        w.item("N1")->trigger(); // on the last entry: the first
        QCOMPARE(fullName(w), QStringLiteral(" a.bmp"));
        QCOMPARE(w.full->statusText(2), QString()); // the elapsed panel emptied
        w.item("N2")->trigger();                    // on the first entry: the last
        QCOMPARE(fullName(w), QStringLiteral(" d.mpg"));
        w.item("N2")->trigger();
        w.item("N2")->trigger();
        QCOMPARE(fullName(w), QStringLiteral(" b.txt"));

        w.item("N9")->trigger();
        QVERIFY(!w.ta->fullScreenOn());
        QVERIFY(w.ta->isEnabled());
        QVERIFY(!w.full->isVisible());
        QCOMPARE(w.BOX->parentWidget(), w.c_splitter);
        QCOMPARE(w.c_splitter->indexOf(w.BOX), 1);
        QCOMPARE(w.c_splitter->sizes(), sizes); // the list keeps its width
        QVERIFY(w.PV->isChecked());
        QVERIFY(!w.pM->isChecked());
        // The selection is as it was; the current item is the last one shown.
        QVERIFY(!list.isSelected(0) && list.isSelected(1) && list.isSelected(2) &&
                !list.isSelected(3));
        QCOMPARE(view->selectedRows().size(), 2);
        QCOMPARE(view->currentIndex().row(), 1);
        QCOMPARE(w.currentName(), QStringLiteral("b.txt"));
        QCOMPARE(w.info(), QStringLiteral(" サイズ 0KB")); // PV checked again: size only
    }

    void stepsWithTheMenuKeysAndASingleEntry() {
        Windows w([](const QString& folder) { t::writeBytes(folder + "/only.txt", "x"); });
        enter(w);
        QCOMPARE(fullName(w), QStringLiteral(" only.txt"));
        key(w, Qt::Key_Return);
        QCOMPARE(fullName(w), QStringLiteral(" only.txt"));
        key(w, Qt::Key_Backspace);
        QCOMPARE(fullName(w), QStringLiteral(" only.txt"));
        QVERIFY(w.ta->fullScreenOn());
        key(w, Qt::Key_Escape);
        QVERIFY(!w.ta->fullScreenOn());
        QVERIFY(w.ta->isEnabled());
    }

    void anEmptyListHasNothingToShow() {
        Windows w;
        enter(w);
        w.item("N1")->trigger();
        QCOMPARE(w.full->statusText(1), QStringLiteral(" ファイルが指定されていません"));
        QCOMPARE(fullName(w), QStringLiteral(" ")); // no file: the name panel keeps its text
        w.item("N2")->trigger();
        QCOMPARE(w.full->statusText(1), QStringLiteral(" ファイルが指定されていません"));
        w.item("N9")->trigger();
    }

    void functionKeysDoNothingUnlessMadeMenuKeys() {
        Windows w(fillFolder);
        w.ta->makeEntryCurrent(0);
        enter(w);
        key(w, Qt::Key_F9);
        key(w, Qt::Key_F7);
        QCOMPARE(fullName(w), QStringLiteral(" a.bmp"));
        QVERIFY(w.ta->fullScreenOn());
        QVERIFY(w.ta->findChildren<QWidget*>(QStringLiteral("TFolder")).isEmpty());
        // F9 made the next-file key acts as that item.
        w.ta->fullScreenMenu().setShortcut(0, 120);
        key(w, Qt::Key_F9);
        QCOMPARE(fullName(w), QStringLiteral(" b.txt"));
        key(w, Qt::Key_Return); // no longer a menu key
        QCOMPARE(fullName(w), QStringLiteral(" b.txt"));
        // A key given to two items acts for the first of them.
        w.ta->fullScreenMenu().setShortcut(1, 120);
        key(w, Qt::Key_F9);
        QCOMPARE(fullName(w), QStringLiteral(" c.bmp"));
        // Escape made the next-file key steps; leaving goes through the menu.
        w.ta->fullScreenMenu().setShortcut(0, 27);
        key(w, Qt::Key_Escape);
        QCOMPARE(fullName(w), QStringLiteral(" d.mpg"));
        QVERIFY(w.ta->fullScreenOn());
        w.item("N9")->trigger();
        QVERIFY(!w.ta->fullScreenOn());
    }

    void naturalSizeScrollsInSteps() {
        Windows w(fillFolder);
        w.ta->makeEntryCurrent(2);
        enter(w);
        QScrollBar* h = w.BOX->horizontalScrollBar();
        QScrollBar* v = w.BOX->verticalScrollBar();
        QCOMPARE(w.IMG->mode(), harpoly::PictureMode::Fit);
        key(w, Qt::Key_Insert);
        QCOMPARE(w.IMG->mode(), harpoly::PictureMode::Natural);
        QTRY_VERIFY(h->maximum() > 100 && v->maximum() > 100);
        key(w, Qt::Key_Right);
        key(w, Qt::Key_Right);
        QCOMPARE(h->value(), 30);
        key(w, Qt::Key_Left);
        QCOMPARE(h->value(), 15);
        key(w, Qt::Key_Down);
        QCOMPARE(v->value(), 15);
        key(w, Qt::Key_Up);
        key(w, Qt::Key_Up); // stays at the top
        QCOMPARE(v->value(), 0);
        // The wheel: a notch down is Down, with Shift it is Right.
        QWidget* under = w.BOX->viewport();
        const QPoint at(10, 10);
        const auto turn = [&](QPoint delta, Qt::KeyboardModifiers m) {
            QWheelEvent e(at, under->mapToGlobal(at), {}, delta, Qt::NoButton, m, Qt::NoScrollPhase,
                          false);
            QApplication::sendEvent(under, &e);
        };
        const auto wheel = [&](int delta, Qt::KeyboardModifiers m) { turn({0, delta}, m); };
        wheel(-120, Qt::NoModifier);
        wheel(-240, Qt::NoModifier);
        QCOMPARE(v->value(), 45);
        wheel(120, Qt::NoModifier);
        QCOMPARE(v->value(), 30);
        wheel(-120, Qt::ShiftModifier);
        QCOMPARE(h->value(), 30);
        wheel(120, Qt::ShiftModifier);
        QCOMPARE(h->value(), 15);
        // A wheel tilted sideways scrolls sideways, never up or down.
        turn({-120, 0}, Qt::NoModifier);
        QCOMPARE(h->value(), 30);
        QCOMPARE(v->value(), 30);
        turn({120, 0}, Qt::NoModifier);
        turn({120, 0}, Qt::NoModifier);
        QCOMPARE(h->value(), 0);
        QCOMPARE(v->value(), 30);
        // The next picture starts at the top-left, still at its own size.
        key(w, Qt::Key_Backspace);
        key(w, Qt::Key_Return);
        QCOMPARE(fullName(w), QStringLiteral(" c.bmp"));
        QCOMPARE(h->value(), 0);
        QCOMPARE(v->value(), 0);
        QCOMPARE(w.IMG->mode(), harpoly::PictureMode::Natural);
        QCOMPARE(w.IMG->drawnRect(), QRect(0, 0, 1500, 1200));
        // Leaving returns the main window's preview to fit mode.
        key(w, Qt::Key_Escape);
        QCOMPARE(w.IMG->mode(), harpoly::PictureMode::Fit);
    }

    void theStatusBarAndTheWindowManagersCloseLeave() {
        Windows w(fillFolder);
        enter(w);
        QTest::mouseClick(static_cast<QWidget*>(statusBar(w)->panel(1)), Qt::LeftButton);
        QVERIFY(!w.ta->fullScreenOn());
        QVERIFY(w.ta->isEnabled());
        QVERIFY(!w.full->isVisible());

        enter(w);
        QVERIFY(w.ta->fullScreenOn());
        w.full->close();
        QVERIFY(!w.ta->fullScreenOn());
        QVERIFY(w.ta->isEnabled());
        QVERIFY(!w.full->isVisible());
    }

    void theMenuShowsItsKeysByName() {
        Windows w(fillFolder);
        QCOMPARE(w.item("N1")->text(), QStringLiteral("進む\tEnter"));
        QCOMPARE(w.item("N2")->text(), QStringLiteral("戻る\tBkSp"));
        QCOMPARE(w.item("N3")->text(), QStringLiteral("表示切替\tIns"));
        QCOMPARE(w.item("N9")->text(), QStringLiteral("閉じる\tEsc"));
        enter(w);
        QWidget* on = w.BOX->viewport();
        QContextMenuEvent e(QContextMenuEvent::Mouse, QPoint(5, 5), on->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(on, &e);
        QTRY_VERIFY(w.ta->findChild<QMenu*>("POP")->isVisible());
        w.ta->findChild<QMenu*>("POP")->close();
        w.item("N9")->trigger();
    }

    // A right-click as a real mouse gives it (press, then release where it was
    // pressed) opens the menu with every item usable, and the menu stays open
    // for the click that picks an item.
    void theRightClickMenuStaysOpenAndItsItemsAct() {
        Windows w(fillFolder);
        w.ta->makeEntryCurrent(1);
        enter(w);
        QMenu* pop = w.ta->fullScreenMenu().menu();
        const auto choose = [&](const char* name) {
            QWindow* screen = w.full->windowHandle();
            const QPoint at = w.BOX->viewport()->mapTo(w.full, QPoint(20, 20));
            QTest::mousePress(screen, Qt::RightButton, {}, at);
            QTRY_VERIFY(pop->isVisible());
            QTest::mouseRelease(screen, Qt::RightButton, {}, at);
            QVERIFY(pop->isVisible());
            QVERIFY(pop->isEnabled());
            for (QAction* item : pop->actions()) {
                QVERIFY(item->isEnabled());
            }
            const QRect place = pop->actionGeometry(w.item(name));
            QTest::mouseClick(pop->windowHandle(), Qt::LeftButton, {}, place.center());
            QTRY_VERIFY(!pop->isVisible());
        };
        choose("N1");
        QCOMPARE(fullName(w), QStringLiteral(" c.bmp"));
        choose("N2");
        QCOMPARE(fullName(w), QStringLiteral(" b.txt"));
        choose("N1");
        choose("N3");
        QCOMPARE(w.IMG->mode(), harpoly::PictureMode::Natural);
        choose("N9");
        QVERIFY(!w.ta->fullScreenOn());
        QVERIFY(w.ta->isEnabled());
    }

    void closingTheProgramInFullScreenView() {
        Windows w(fillFolder, "Preview=1\r\nAutoPlay=0\r\nFL_W=150\r\n");
        w.ta->makeEntryCurrent(3);
        enter(w);
        QVERIFY(w.MPC->isPlaying());
        w.ta->close();
        QCOMPARE(w.BOX->window(), w.ta);
        QVERIFY(!w.MPC->isOpen());
        QVERIFY(!w.full->isVisible());
        // The settings keep the user's own check boxes and list width.
        QFile ini(QString::fromStdString(w.settings));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        const QByteArray saved = ini.readAll();
        QVERIFY(saved.contains("Preview=1\r\nAutoPlay=0\r\nFL_W=150\r\n"));
    }

    // The application's quit closes every window; the full-screen window
    // never refuses, or the program could not end.
    void theFullScreenWindowNeverRefusesToClose() {
        Windows w(fillFolder);
        enter(w);
        QCloseEvent close;
        QApplication::sendEvent(w.full, &close);
        QVERIFY(close.isAccepted());
        QVERIFY(!w.ta->fullScreenOn());
    }
};

HARPOLY_WINDOW_TEST_MAIN(FullScreenTest)
#include "fullscreen_test.moc"
