#pragma once

#include <QFont>

namespace harpoly::ui {

// The interface font "ＭＳ Ｐゴシック" at the given pixel size, falling back to
// IPAPGothic and then to whatever CJK font fontconfig offers.
QFont uiFont(int pixelSize);

} // namespace harpoly::ui
