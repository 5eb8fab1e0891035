// Placeholder pages until the generators are wired; replaced by the real tabs.
#include "app/tab_page.h"

namespace harpoly::ui {

ToolTab makeLinkTab(MainServices&) {
    return makeBareTab("TS3", QStringLiteral("リンク作成"),
                       QStringLiteral("表示フォルダ内のファイルのリンク等を生成します"),
                       QStringLiteral("作成"));
}
ToolTab makeIconTab(MainServices&) {
    return makeBareTab("TS4", QStringLiteral("アイコン抽出"),
                       QStringLiteral("選択したファイルから出力フォルダへアイコンを抽出します"),
                       QStringLiteral("抽出"));
}

} // namespace harpoly::ui
