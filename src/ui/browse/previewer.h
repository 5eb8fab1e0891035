#pragma once

#include "core/browse/category_lists.h"

#include <optional>
#include <string>

class QWidget;

namespace harpoly {
struct DecodedPicture;
struct Metafile;
struct PreviewPlan;
} // namespace harpoly

namespace harpoly::ui {

class MediaPreview;
class PreviewBox;
class PreviewStatus;

// Which file to preview, and how.
struct PreviewRequest {
    std::string folder;              // the display folder, ending with "/"
    std::optional<std::string> name; // the current entry; nullopt when none is chosen
    bool previewOff = false;         // `PV`: only the size is written
    bool autoPlay = false;           // `pM`: media plays at once
};

// The preview of one file of the list in the preview area `BOX`: the one
// place that turns an entry into what the area shows (picture, icon, text or
// media) and into its information line. Errors of loading are thrown to the
// caller, with the area left empty.
class Previewer {
public:
    Previewer(PreviewBox& box, QWidget& home, PreviewStatus& status);

    // The text, media and image extension lists that classify a file.
    void setCategoryLists(CategoryLists lists) { lists_ = std::move(lists); }
    const CategoryLists& categoryLists() const { return lists_; }

    // Clears the last preview and the elapsed time, then shows `request`'s
    // file.
    void previewEntry(const PreviewRequest& request);
    // Undoes the last preview: panes hidden and emptied, the media file
    // closed (the device is released) and its timer stopped.
    void stopPreview();
    bool mediaOpen() const;

private:
    void show(const PreviewPlan& plan, bool autoPlay);
    void showPicture(const DecodedPicture& picture, const std::string& sizeText);
    void showMetafile(Metafile picture, const std::string& sizeText);

    PreviewBox& box_;
    PreviewStatus& status_;
    MediaPreview* media_; // owned by the home window
    CategoryLists lists_;
};

} // namespace harpoly::ui
