// The screenshot driver: a library that scripts/screenshots.sh preloads into
// the program (LD_PRELOAD). It plays the script named by
// HARPOLY_SCREENSHOT_SCRIPT against the running windows and saves pictures of
// them. It knows the program only by the object names of its windows and
// controls (TA, FL, Utility, TS1, E1, BEnt1, ...) and by Qt's own widget
// classes, so it keeps working while the windows' C++ code changes.
//
// One command a line; "#" starts a comment; arguments are separated by tabs.
//   wait MS                   let the program run for MS milliseconds
//   select NAME ITEM...       click ITEM in the list view NAME, Ctrl+click the rest
//   tab NAME                  click the tab of the page NAME in its tab widget
//   set NAME TEXT             a line edit's text, a combo box's item, a date
//                             (yyyy-MM-dd) or time (HH:mm:ss) edit, a check box (0/1)
//   press NAME                click the button NAME
//   key KEYS                  press KEYS (as QKeySequence reads them) in the focused window
//   answer ok|cancel          press a button of the open message box
//   shot FILE [NAME]          save the windows on show (or the window NAME) as FILE
//   quit                      close the main window TA
// A command whose control does not appear within five seconds ends the
// program with exit code 3, naming the line.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QFont>
#include <QKeySequence>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTextStream>
#include <QTimeEdit>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <unistd.h>

namespace {

constexpr int kStepMs = 150;      // between two commands
constexpr int kPatienceMs = 5000; // for a control to appear
constexpr int kTitleHeight = 22;  // of the title bars drawn in the pictures

// The control `name` in a window on show; with `hiddenToo`, also one that
// is hidden inside it (the page of a tab not on show).
QWidget* findVisible(const QString& name, bool hiddenToo = false) {
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        if (!window->isVisible()) {
            continue;
        }
        if (window->objectName() == name) {
            return window;
        }
        const QList<QWidget*> found = window->findChildren<QWidget*>(name);
        for (QWidget* widget : found) {
            if (hiddenToo || widget->isVisibleTo(window)) {
                return widget;
            }
        }
    }
    return nullptr;
}

// Runs `action` after the current event: a click may open a modal box, whose
// event loop then runs the rest of the script.
void later(std::function<void()> action) {
    QTimer::singleShot(0, qApp, std::move(action));
}

class Driver : public QObject {
public:
    explicit Driver(QStringList lines) : QObject(qApp), lines_(std::move(lines)) {}

    void next() {
        while (line_ < lines_.size()) {
            const QString text = lines_[line_].trimmed();
            if (text.isEmpty() || text.startsWith(QLatin1Char('#'))) {
                ++line_;
                continue;
            }
            const QStringList args = lines_[line_].split(QLatin1Char('\t'), Qt::SkipEmptyParts);
            const int delay = run(args);
            if (delay < 0) { // not ready yet: try the same line again
                if ((waited_ += 50) > kPatienceMs) {
                    fail(QStringLiteral("nothing to act on"));
                }
                QTimer::singleShot(50, this, [this] { next(); });
                return;
            }
            waited_ = 0;
            ++line_;
            QTimer::singleShot(delay, this, [this] { next(); });
            return;
        }
    }

private:
    // The delay before the next command, or -1 when the command's control is
    // not there yet.
    int run(const QStringList& args) {
        const QString command = args.value(0).trimmed();
        const QString name = args.value(1);
        if (command == QLatin1String("wait")) {
            return name.toInt();
        }
        if (command == QLatin1String("quit")) {
            QWidget* main = findVisible(QStringLiteral("TA"));
            if (!main) {
                return -1;
            }
            later([main] { main->close(); });
            return kStepMs;
        }
        if (command == QLatin1String("key")) {
            QWidget* target = QApplication::focusWidget();
            if (!target) {
                target = QApplication::activeWindow() ? QApplication::activeWindow()
                                                      : findVisible(QStringLiteral("TA"));
            }
            const QKeySequence keys(name);
            if (!target || keys.isEmpty()) {
                return -1;
            }
            QPointer<QWidget> guard(target);
            const QKeyCombination combination = keys[0];
            later([guard, combination] {
                if (guard) {
                    QTest::keyClick(guard, combination.key(), combination.keyboardModifiers());
                }
            });
            return kStepMs;
        }
        if (command == QLatin1String("answer")) {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) {
                return -1;
            }
            QAbstractButton* button = name == QLatin1String("ok")
                                          ? box->button(QMessageBox::Ok)
                                          : box->button(QMessageBox::Cancel);
            if (!button) {
                fail(QStringLiteral("the box has no such button"));
            }
            QPointer<QAbstractButton> guard(button);
            later([guard] {
                if (guard) {
                    guard->click();
                }
            });
            return kStepMs;
        }
        if (command == QLatin1String("shot")) {
            return shot(name, args.value(2)) ? kStepMs : -1;
        }
        QWidget* widget = findVisible(name, command == QLatin1String("tab"));
        if (!widget || !widget->isEnabled()) {
            return -1;
        }
        if (command == QLatin1String("select")) {
            return select(widget, args.mid(2)) ? kStepMs : -1;
        }
        if (command == QLatin1String("tab")) {
            return showTab(widget) ? kStepMs : -1;
        }
        if (command == QLatin1String("set")) {
            set(widget, args.value(2));
            return kStepMs;
        }
        if (command == QLatin1String("press")) {
            auto* button = qobject_cast<QAbstractButton*>(widget);
            if (!button) {
                fail(name + QStringLiteral(" is no button"));
            }
            QPointer<QAbstractButton> guard(button);
            later([guard] {
                if (guard) {
                    QTest::mouseClick(guard, Qt::LeftButton);
                }
            });
            return kStepMs;
        }
        fail(QStringLiteral("unknown command ") + command);
        return 0;
    }

    bool select(QWidget* widget, const QStringList& items) {
        auto* view = qobject_cast<QAbstractItemView*>(widget);
        if (!view || !view->model()) {
            fail(widget->objectName() + QStringLiteral(" is no list"));
        }
        const QAbstractItemModel* model = view->model();
        for (int i = 0; i < items.size(); ++i) {
            const QModelIndexList hits =
                model->match(model->index(0, 0), Qt::DisplayRole, items[i], 1, Qt::MatchExactly);
            if (hits.isEmpty()) {
                return false; // the list may not be filled yet
            }
            view->scrollTo(hits[0]);
            QTest::mouseClick(view->viewport(), Qt::LeftButton,
                              i == 0 ? Qt::NoModifier : Qt::ControlModifier,
                              view->visualRect(hits[0]).center());
        }
        return true;
    }

    bool showTab(QWidget* page) {
        for (QWidget* up = page->parentWidget(); up; up = up->parentWidget()) {
            if (auto* tabs = qobject_cast<QTabWidget*>(up)) {
                const int index = tabs->indexOf(page);
                if (index < 0) {
                    continue;
                }
                QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, Qt::NoModifier,
                                  tabs->tabBar()->tabRect(index).center());
                return tabs->currentIndex() == index;
            }
        }
        fail(page->objectName() + QStringLiteral(" is no tab page"));
        return false;
    }

    void set(QWidget* widget, const QString& value) {
        if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            edit->setFocus(Qt::MouseFocusReason);
            edit->setText(value);
        } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            const int index = combo->findText(value);
            if (index >= 0) {
                combo->setCurrentIndex(index);
            } else if (combo->isEditable()) {
                combo->setEditText(value);
            } else {
                fail(QStringLiteral("no item ") + value);
            }
        } else if (auto* date = qobject_cast<QDateEdit*>(widget)) {
            date->setDate(QDate::fromString(value, Qt::ISODate));
        } else if (auto* time = qobject_cast<QTimeEdit*>(widget)) {
            time->setTime(QTime::fromString(value, Qt::ISODate));
        } else if (auto* box = qobject_cast<QCheckBox*>(widget)) {
            if (box->isChecked() != (value == QLatin1String("1"))) {
                QTest::mouseClick(box, Qt::LeftButton);
            }
        } else {
            fail(widget->objectName() + QStringLiteral(" takes no value"));
        }
    }

    // The windows on show, as a screen would show them: the main window, the
    // other windows over it, the modal box last. With `name`, that window alone.
    bool shot(const QString& file, const QString& name) {
        QList<QWidget*> windows;
        if (!name.isEmpty()) {
            QWidget* window = findVisible(name);
            if (!window || !window->isWindow()) {
                return false;
            }
            windows.append(window);
        } else {
            QWidget* main = findVisible(QStringLiteral("TA"));
            if (!main) {
                return false;
            }
            windows.append(main);
            QWidget* modal = QApplication::activeModalWidget();
            for (QWidget* window : QApplication::topLevelWidgets()) {
                if (window->isVisible() && window != main && window != modal &&
                    !window->inherits("QMenu")) {
                    windows.append(window);
                }
            }
            if (modal) {
                windows.append(modal);
            }
        }
        // Each window gets a plain title bar with its caption, as a desktop
        // would draw it, so that the pictures show which box is which.
        const auto titleHeight = [](const QWidget* window) {
            const bool framed =
                !window->isFullScreen() && !(window->windowFlags() & Qt::FramelessWindowHint);
            return framed ? kTitleHeight : 0;
        };
        QRect area;
        for (QWidget* window : windows) {
            area |= window->geometry().adjusted(0, -titleHeight(window), 0, 0);
        }
        QImage picture(area.size(), QImage::Format_RGB32);
        picture.fill(QColor(0x5a, 0x6e, 0x82));
        QPainter painter(&picture);
        QFont titleFont = QApplication::font();
        titleFont.setBold(true);
        painter.setFont(titleFont);
        for (QWidget* window : windows) {
            const QPoint at = window->geometry().topLeft() - area.topLeft();
            const QRect title(at.x(), at.y() - titleHeight(window), window->width(),
                              titleHeight(window));
            painter.fillRect(title, QColor(0x2f, 0x4f, 0x74));
            painter.setPen(Qt::white);
            painter.drawText(title.adjusted(8, 0, -8, 0), Qt::AlignVCenter | Qt::AlignLeft,
                             window->windowTitle());
            painter.drawPixmap(at, window->grab());
        }
        painter.end();
        if (!picture.save(file)) {
            fail(QStringLiteral("cannot write ") + file);
        }
        return true;
    }

    [[noreturn]] void fail(const QString& why) {
        std::fprintf(stderr, "screenshot driver: line %d: %s: %s\n", static_cast<int>(line_) + 1,
                     qPrintable(lines_.value(line_)), qPrintable(why));
        std::fflush(stderr);
        ::_exit(3); // the script cannot go on; the program holds nothing to save
    }

    QStringList lines_;
    qsizetype line_ = 0;
    int waited_ = 0;
};

void startDriver() {
    const QString path = qEnvironmentVariable("HARPOLY_SCREENSHOT_SCRIPT");
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return;
    }
    const QStringList lines = QTextStream(&file).readAll().split(QLatin1Char('\n'));
    auto* driver = new Driver(lines);
    QTimer::singleShot(500, driver, [driver] { driver->next(); });
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(startDriver)
