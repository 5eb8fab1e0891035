#pragma once

namespace harpoly::ui {

class HarpolyApplication;

// The run of the program: builds the windows (ProgramWindows) on the settings
// beside the executable, runs the message loop until the main window closes
// (by its close box, BE, F10 or a termination signal), and shows an error
// that escapes all of it in a message box. Returns the exit code: 0 after a
// normal run, 1 after such an error.
int runHarpoly(HarpolyApplication& app);

} // namespace harpoly::ui
