// Placeholder pages until the batch tools are wired; replaced by the real tabs.
#include "app/tab_page.h"

namespace harpoly::ui {

namespace {
const QString kSelectHint = QStringLiteral("左のリストからファイルを選択してください(複数可)");
const QString kMoveHint = QStringLiteral("該当ファイルを出力フォルダへ移動します");
} // namespace

ToolTab makeRename1Tab(MainServices&) {
    return makeBareTab("TS1", QStringLiteral("リネーム1"), kSelectHint, QStringLiteral("変換"));
}
ToolTab makeRename2Tab(MainServices&) {
    return makeBareTab("TS7", QStringLiteral("リネーム2"), kSelectHint, QStringLiteral("変換"));
}
ToolTab makeRename3Tab(MainServices&) {
    return makeBareTab("TS9", QStringLiteral("リネーム3"), kSelectHint, QStringLiteral("変換"));
}
ToolTab makeExtensionTab(MainServices&) {
    return makeBareTab("TS2", QStringLiteral("拡張子変換"), kSelectHint, QStringLiteral("変換"));
}
ToolTab makeJpegSize1Tab(MainServices&) {
    return makeBareTab("TS5", QStringLiteral("JPG選別1"), kMoveHint, QStringLiteral("実行"));
}
ToolTab makeJpegSize2Tab(MainServices&) {
    return makeBareTab("TS6", QStringLiteral("JPG選別2"), kMoveHint, QStringLiteral("実行"));
}
ToolTab makeTimestampTab(MainServices&) {
    return makeBareTab("TS8", QStringLiteral("タイムスタンプ"), kSelectHint, QStringLiteral("変更"));
}

} // namespace harpoly::ui
