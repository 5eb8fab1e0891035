#pragma once

#include <QString>

class QWidget;
class QPushButton;

namespace harpoly::ui {

class MainServices;

// One page of the tool strip `Utility`. The tool strip adds the pages in
// their order, sets caption and hint, and presses `action` when Enter is
// pressed in a field of the page on show.
struct ToolTab {
    QWidget* page = nullptr; // owned by the tab widget once added
    QPushButton* action = nullptr;
    QString name;    // "TS1"
    QString caption; // "リネーム1"
    QString hint;
};

// Tabs in the order of the tool strip.
ToolTab makeRename1Tab(MainServices& main);   // TS1, src/ui/batch
ToolTab makeRename2Tab(MainServices& main);   // TS7, src/ui/batch
ToolTab makeRename3Tab(MainServices& main);   // TS9, src/ui/batch
ToolTab makeExtensionTab(MainServices& main); // TS2, src/ui/batch
ToolTab makeLinkTab(MainServices& main);      // TS3, src/ui/generate
ToolTab makeJpegSize1Tab(MainServices& main); // TS5, src/ui/batch
ToolTab makeJpegSize2Tab(MainServices& main); // TS6, src/ui/batch
ToolTab makeTimestampTab(MainServices& main); // TS8, src/ui/batch
ToolTab makeIconTab(MainServices& main);      // TS4, src/ui/generate

} // namespace harpoly::ui
