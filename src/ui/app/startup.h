#pragma once

namespace harpoly::ui {

class HarpolyApplication;

// Creates the main window, the full-screen window and the shortcut-key
// dialog in that order, runs the message loop until the main window closes,
// and shows an error that escapes all of it in a message box. Returns the
// exit code: 0 after a normal run, 1 after such an error.
int runHarpoly(HarpolyApplication& app);

} // namespace harpoly::ui
