// Harpoly: one copy per user, then the main window and its message loop.
#include "core/platform/file_move.h"
#include "core/platform/single_instance.h"
#include "ui/app/harpoly_application.h"
#include "ui/app/startup.h"

#include <cstdlib>
#include <unistd.h>

int main(int argc, char** argv) {
    // A second copy ends at once and silently; the running one is not
    // disturbed.
    const auto lock = harpoly::SingleInstanceLock::acquire(
        harpoly::singleInstanceLockPath(std::getenv("XDG_RUNTIME_DIR"), ::getuid()));
    if (!lock) {
        return 1;
    }
    // Moves between file systems that a crash broke off are finished or
    // undone before anything else looks at the folders.
    harpoly::recoverInterruptedMoves();
    harpoly::ui::HarpolyApplication app(argc, argv);
    return harpoly::ui::runHarpoly(app);
}
