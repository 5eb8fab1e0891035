#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace harpoly::ui {

// Turns SIGTERM, SIGINT and SIGHUP into a call of `onSignal` on the
// user-interface thread (through a self-pipe), so that a session logout or a
// kill closes the main window like its close box and the settings are saved.
class TerminationSignal : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignal(std::function<void()> onSignal, QObject* parent = nullptr);
    ~TerminationSignal() override;

private:
    std::function<void()> onSignal_;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace harpoly::ui
