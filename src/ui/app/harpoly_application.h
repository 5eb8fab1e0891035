#pragma once

#include <QApplication>
#include <functional>
#include <string>

namespace harpoly::ui {

// The application object. It speaks Japanese whatever the locale (Qt's own
// texts and the date and time formats), and it routes two things of every window through the
// main window:
// - every key press, before the focused control sees it, to the key handler
//   (given the Windows key code; returning true swallows the key);
// - every exception that an event handler lets escape, to the error handler
//   (given the error's kind name), after which the program goes on.
class HarpolyApplication : public QApplication {
    Q_OBJECT
public:
    using KeyHandler = std::function<bool(int keyCode)>;
    using ErrorHandler = std::function<void(const std::string& kindName)>;

    HarpolyApplication(int& argc, char** argv);

    void setKeyHandler(KeyHandler handler) { keyHandler_ = std::move(handler); }
    void setErrorHandler(ErrorHandler handler) { errorHandler_ = std::move(handler); }

    // Reports the exception being handled (call inside a catch block) through
    // the error handler; without one it is rethrown.
    void reportCurrentException();

    bool notify(QObject* receiver, QEvent* event) override;

    // The running application, or nullptr when the QApplication in use is a
    // plain one.
    static HarpolyApplication* instance();

private:
    KeyHandler keyHandler_;
    ErrorHandler errorHandler_;
};

// The kind name of the exception being handled: the kind of a harpoly::Error,
// "EOutOfMemory" for bad_alloc, else the exception's class name.
std::string currentExceptionKind();

// Runs `handler` and reports what it throws through the application's error
// handler: for slots called from inside Qt, so that no exception unwinds
// through the toolkit's own frames.
template <typename F> void runReported(F&& handler) {
    try {
        handler();
    } catch (...) {
        if (auto* app = HarpolyApplication::instance()) {
            app->reportCurrentException();
        } else {
            throw;
        }
    }
}

} // namespace harpoly::ui
