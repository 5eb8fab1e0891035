#pragma once

namespace harpoly::ui {

// The Windows virtual-key code of a Qt key (Qt::Key), as the key map and the
// shortcut codes use them; 0 for a key without one.
int windowsKeyCode(int qtKey);

// The Qt key of a Windows virtual-key code; 0 for a code without one.
int qtKeyOfWindowsCode(int code);

} // namespace harpoly::ui
