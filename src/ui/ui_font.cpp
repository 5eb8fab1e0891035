#include "ui/ui_font.h"

#include <QStringList>

namespace harpoly::ui {

QFont uiFont(int pixelSize) {
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"),
                      QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans CJK JP")});
    font.setPixelSize(pixelSize);
    return font;
}

} // namespace harpoly::ui
