#include "ui/app/harpoly_application.h"

#include "core/errors.h"
#include "ui/app/windows_key_code.h"

#include <QKeyEvent>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cxxabi.h>
#include <memory>
#include <new>
#include <typeinfo>

namespace harpoly::ui {

HarpolyApplication::HarpolyApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // The whole interface is Japanese, whatever the user's locale: Qt's own
    // texts (standard buttons, the context menus of text fields) from its
    // Japanese translations, and dates and times in Japanese formats.
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    auto* qtTexts = new QTranslator(this);
    if (qtTexts->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qt"),
                      QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        installTranslator(qtTexts);
    }
}

HarpolyApplication* HarpolyApplication::instance() {
    return qobject_cast<HarpolyApplication*>(QCoreApplication::instance());
}

std::string currentExceptionKind() {
    try {
        throw;
    } catch (const Error& e) {
        return e.kind();
    } catch (const std::bad_alloc&) {
        return kind::OutOfMemory;
    } catch (const std::exception& e) {
        int status = 0;
        std::unique_ptr<char, void (*)(void*)> name(
            abi::__cxa_demangle(typeid(e).name(), nullptr, nullptr, &status), std::free);
        return status == 0 && name ? std::string(name.get()) : std::string(typeid(e).name());
    } catch (...) {
        return "Exception";
    }
}

void HarpolyApplication::reportCurrentException() {
    if (!errorHandler_) {
        throw;
    }
    const std::string kindName = currentExceptionKind();
    try {
        errorHandler_(kindName);
    } catch (...) {
        // The handler only writes a status line; a failure there has nowhere
        // else to go.
    }
}

bool HarpolyApplication::notify(QObject* receiver, QEvent* event) {
    try {
        // A key press from the window system reaches notify() twice: first
        // for the window (QWidgetWindow), which then forwards it to the
        // focused widget. The handler takes it once, at the widget; the
        // propagation to parent widgets happens inside QApplication::notify.
        if (event->type() == QEvent::KeyPress && keyHandler_ && receiver->isWidgetType()) {
            const int code = windowsKeyCode(static_cast<QKeyEvent*>(event)->key());
            if (code != 0 && keyHandler_(code)) {
                return true;
            }
        }
        return QApplication::notify(receiver, event);
    } catch (...) {
        reportCurrentException();
        return false;
    }
}

} // namespace harpoly::ui
