// The shortcut-key dialog: the fields, the keys the dialog takes itself,
// confirming and cancelling, and the keys' life in the menu and the settings.
#include "media_fixtures.h"
#include "ui/fullscreen/hot_key_edit.h"
#include "ui/fullscreen/key_codes.h"
#include "window_rig.h"

#include <QAction>
#include <QPushButton>
#include <QSettings>

using Windows = harpoly::test::StartedWindows;
using harpoly::ui::HotKeyEdit;

class ShortcutDialogTest : public QObject {
    Q_OBJECT

    static void open(Windows& w) {
        w.BHK->click();
        QVERIFY(w.hk->isVisible());
        QVERIFY(!w.ta->isEnabled());
        QTRY_COMPARE(QApplication::activeWindow(), w.hk);
    }
    static QStringList shown(Windows& w) {
        return {field(w, 1)->text(), field(w, 2)->text(), field(w, 3)->text()};
    }
    // The key-capture fields HK1 to HK3 and the buttons, by object name.
    static HotKeyEdit* field(Windows& w, int n) {
        return w.hk->findChild<HotKeyEdit*>(QStringLiteral("HK%1").arg(n));
    }
    static QPushButton* button(Windows& w, const char* name) {
        return w.hk->findChild<QPushButton*>(QLatin1String(name));
    }
    static void focus(HotKeyEdit* field) {
        field->setFocus();
        QTRY_VERIFY(field->hasFocus());
    }

private slots:
    void showsTheCurrentKeysAndFocusesTheFirst() {
        Windows w;
        open(w);
        QCOMPARE(w.hk->windowTitle(), QStringLiteral("設定"));
        QCOMPARE(w.hk->size(), QSize(242, 136));
        QCOMPARE(shown(w), (QStringList{"Enter", "BkSp", "Ins"}));
        QVERIFY(field(w, 1)->hasFocus());
        button(w, "BHKesc")->click();
        QVERIFY(!w.hk->isVisible());
        QVERIFY(w.ta->isEnabled());
    }

    void aConfirmedKeyActsAtOnceAndIsSaved() {
        Windows w([](const QString& folder) {
            harpoly::test::writeBytes(folder + "/1.txt", "a");
            harpoly::test::writeBytes(folder + "/2.txt", "b");
        });
        open(w);
        QTest::keyClick(field(w, 1), Qt::Key_Right, Qt::ControlModifier);
        QCOMPARE(field(w, 1)->key(), 16423);
        QCOMPARE(field(w, 1)->text(), QStringLiteral("Ctrl+Right"));
        QCOMPARE(w.ta->fullScreenMenu().shortcut(0), 13); // not before confirming
        QTest::mouseClick(button(w, "BHKent"), Qt::LeftButton);
        QVERIFY(!w.hk->isVisible());
        QVERIFY(w.ta->isEnabled());
        QCOMPARE(w.ta->fullScreenMenu().shortcut(0), 16423);
        QCOMPARE(w.item("N1")->text(), QStringLiteral("進む\tCtrl+Right"));

        // In full-screen view Ctrl+Right steps forward and Enter no longer does.
        w.BF->click();
        QVERIFY(QTest::qWaitForWindowExposed(w.full));
        QWidget* on = w.full->focusWidget() ? w.full->focusWidget() : w.full;
        QCOMPARE(w.full->statusText(0), QStringLiteral(" 1.txt"));
        QTest::keyClick(on, Qt::Key_Return);
        QCOMPARE(w.full->statusText(0), QStringLiteral(" 1.txt"));
        QTest::keyClick(on, Qt::Key_Right, Qt::ControlModifier);
        QCOMPARE(w.full->statusText(0), QStringLiteral(" 2.txt"));
        w.item("N9")->trigger();

        w.ta->close();
        QSettings ini(QString::fromStdString(w.settings), QSettings::IniFormat);
        QCOMPARE(ini.value("ShortCut/K1").toInt(), 16423);
        QCOMPARE(ini.value("ShortCut/K2").toInt(), 8);
        QCOMPARE(ini.value("ShortCut/K3").toInt(), 45);
    }

    void theDialogsOwnKeysGoBareIntoTheFocusedField() {
        Windows w;
        open(w);
        focus(field(w, 2));
        QTest::keyClick(field(w, 2), Qt::Key_Space);
        QCOMPARE(field(w, 2)->key(), 32);
        QCOMPARE(field(w, 2)->text(), QStringLiteral("Space"));
        focus(field(w, 3));
        QTest::keyClick(field(w, 3), Qt::Key_Return, Qt::ShiftModifier);
        QCOMPARE(field(w, 3)->key(), 13); // the modifier is dropped
        QTest::keyClick(field(w, 3), Qt::Key_Escape);
        QCOMPARE(field(w, 3)->key(), 27);
        QVERIFY(w.hk->isVisible()); // Esc closes nothing
        QTest::keyClick(field(w, 3), Qt::Key_Backspace, Qt::ControlModifier);
        QCOMPARE(field(w, 3)->key(), 8);
        // Function keys are recorded by the field itself.
        QTest::keyClick(field(w, 3), Qt::Key_F9);
        QCOMPARE(field(w, 3)->text(), QStringLiteral("F9"));
        QTest::keyClick(field(w, 3), Qt::Key_A, Qt::ShiftModifier | Qt::AltModifier);
        QCOMPARE(field(w, 3)->text(), QStringLiteral("Shift+Alt+A"));
        QCOMPARE(field(w, 3)->key(), 0x2000 | 0x8000 | 'A');
        QTest::keyClick(field(w, 3), Qt::Key_Semicolon, Qt::ControlModifier);
        QCOMPARE(field(w, 3)->key(), 0x4000 | 186);
        QTest::keyClick(field(w, 3), Qt::Key_A, Qt::ShiftModifier | Qt::AltModifier);
        // A modifier alone changes nothing.
        QTest::keyClick(field(w, 3), Qt::Key_Control, Qt::ControlModifier);
        QCOMPARE(field(w, 3)->text(), QStringLiteral("Shift+Alt+A"));

        // Enter and Space on a button press nothing.
        focus(field(w, 1));
        button(w, "BHKent")->setFocus();
        QTRY_VERIFY(button(w, "BHKent")->hasFocus());
        QTest::keyClick(button(w, "BHKent"), Qt::Key_Return);
        QTest::keyClick(button(w, "BHKent"), Qt::Key_Space);
        QVERIFY(w.hk->isVisible());
        QCOMPARE(w.ta->fullScreenMenu().shortcut(1), 8);
        QCOMPARE(field(w, 1)->key(), 13);

        button(w, "BHKent")->click();
        QCOMPARE(w.ta->fullScreenMenu().shortcut(1), 32);
        QCOMPARE(w.ta->fullScreenMenu().shortcut(2), 0x2000 | 0x8000 | 'A');
    }

    // Punctuation, the keypad and the rarer keys: the field and the menu
    // show the key by the same name.
    void theMenuNamesEveryKeyAsTheFieldShowsIt_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<QString>("name");
        const auto row = [](const char* name, int key, Qt::KeyboardModifiers modifiers) {
            QTest::newRow(name) << key << modifiers << QString::fromUtf8(name);
        };
        row(";", Qt::Key_Semicolon, {});
        row("Ctrl+[", Qt::Key_BracketLeft, Qt::ControlModifier);
        row("Shift+/", Qt::Key_Question, Qt::ShiftModifier);
        row("\\", Qt::Key_Backslash, {});
        row("'", Qt::Key_Apostrophe, {});
        row("`", Qt::Key_QuoteLeft, {});
        row("=", Qt::Key_Equal, {});
        row("Num 5", Qt::Key_5, Qt::KeypadModifier);
        row("Alt+Num *", Qt::Key_Asterisk, Qt::KeypadModifier | Qt::AltModifier);
        row("Num +", Qt::Key_Plus, Qt::KeypadModifier);
        row("Num -", Qt::Key_Minus, Qt::KeypadModifier);
        row("Num .", Qt::Key_Period, Qt::KeypadModifier);
        row("Num /", Qt::Key_Slash, Qt::KeypadModifier);
        row("Pause", Qt::Key_Pause, {});
        row("PrtSc", Qt::Key_Print, {});
        row("F13", Qt::Key_F13, {});
        row("F24", Qt::Key_F24, {});
    }
    void theMenuNamesEveryKeyAsTheFieldShowsIt() {
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(QString, name);
        Windows w;
        open(w);
        QTest::keyClick(field(w, 1), static_cast<Qt::Key>(key), modifiers);
        QCOMPARE(field(w, 1)->text(), name);
        button(w, "BHKent")->click();
        QCOMPARE(w.item("N1")->text(), QStringLiteral("進む\t") + name);
    }

    void cancelKeepsTheOldKeys() {
        Windows w;
        open(w);
        QTest::keyClick(field(w, 1), Qt::Key_N);
        QCOMPARE(field(w, 1)->text(), QStringLiteral("N"));
        button(w, "BHKesc")->click();
        QCOMPARE(w.ta->fullScreenMenu().shortcut(0), 13);
        open(w);
        QCOMPARE(shown(w), (QStringList{"Enter", "BkSp", "Ins"}));
        // The window manager's close counts as cancel and enables the main window.
        QTest::keyClick(field(w, 1), Qt::Key_N);
        w.hk->close();
        QVERIFY(!w.hk->isVisible());
        QVERIFY(w.ta->isEnabled());
        QCOMPARE(w.ta->fullScreenMenu().shortcut(0), 13);
    }

    void keyCodesOfQtKeys() {
        using harpoly::ui::keyCombinationOf;
        using harpoly::ui::shortcutFromKey;
        const struct {
            int key;
            Qt::KeyboardModifiers mods;
            int code;
        } cases[] = {
            {Qt::Key_Return, {}, 13},
            {Qt::Key_Enter, Qt::KeypadModifier, 13},
            {Qt::Key_Right, Qt::ControlModifier, 16423},
            {Qt::Key_F12, Qt::ShiftModifier, 0x2000 | 123},
            {Qt::Key_Exclam, Qt::ShiftModifier, 0x2000 | '1'},
            {Qt::Key_5, Qt::KeypadModifier, 101},
            {Qt::Key_Semicolon, {}, 186},
            {Qt::Key_Shift, Qt::ShiftModifier, 0},
            {Qt::Key_unknown, {}, 0},
        };
        for (const auto& c : cases) {
            QCOMPARE(shortcutFromKey(c.key, c.mods), c.code);
        }
        for (int code : {13, 8, 45, 16423, 0x2000 | 123, 101, 186, 0x8000 | 'Z'}) {
            const QKeyCombination k = keyCombinationOf(static_cast<harpoly::ShortcutCode>(code));
            QCOMPARE(shortcutFromKey(k.key(), k.keyboardModifiers()), code);
        }
    }
};

HARPOLY_WINDOW_TEST_MAIN(ShortcutDialogTest)
#include "shortcut_dialog_test.moc"
