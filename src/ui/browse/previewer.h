#pragma once

#include "core/browse/category_lists.h"
#include "ui/browse/picture_decoder.h"

#include <QObject>
#include <QTimer>
#include <exception>
#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace harpoly {
struct PreviewPlan;
} // namespace harpoly

namespace harpoly::ui {

class MediaPreview;
class PictureReader;
class PreviewBox;
class PreviewStatus;
struct ReadyPicture;

// Which file to preview, and how.
struct PreviewRequest {
    std::string folder;              // the display folder, ending with "/"
    std::optional<std::string> name; // the current entry; nullopt when none is chosen
    bool previewOff = false;         // `PV`: only the size is written
    bool autoPlay = false;           // `pM`: media plays at once
    // The entries the user is likely to step to next, best first: their
    // pictures are decoded ahead (text and media are not).
    std::vector<std::string> readAhead;
};

// The preview of one file of the list in the preview area `BOX`: the one
// place that turns an entry into what the area shows (picture, icon, text or
// media) and into its information line. Errors of loading are thrown to the
// caller, with the area left empty.
//
// A picture is decoded off the window thread: its information line is
// written at once from the file's header, and the picture appears when its
// decode arrives, unless another preview came first. An error found by the
// decode goes to the application's error handler then, as a thrown one
// would. Once a preview is done, the pictures of the entries named to read
// ahead are decoded in the background at the size they will be drawn.
class Previewer : public QObject {
    Q_OBJECT
public:
    Previewer(PreviewBox& box, QWidget& home, PreviewStatus& status);
    ~Previewer() override;

    // The text, media and image extension lists that classify a file.
    void setCategoryLists(CategoryLists lists) { lists_ = std::move(lists); }
    const CategoryLists& categoryLists() const { return lists_; }

    // Clears the last preview and the elapsed time, then shows `request`'s
    // file.
    void previewEntry(const PreviewRequest& request);
    // Undoes the last preview: panes hidden and emptied, the media file
    // closed (the device is released) and its timer stopped, every picture
    // decode stopped.
    void stopPreview();
    bool mediaOpen() const;
    // After the picture mode changed or the area was resized: a picture on
    // show that is now drawn larger than it was decoded (so blurred), or far
    // smaller, is decoded again for its new size; the old one stays on show
    // until then. The area's resizes call this by themselves once they settle.
    void refitPicture();

private:
    // The picture preview in progress or on show.
    struct PictureShow {
        std::string key;
        PictureRequest request;
        bool waiting = true; // its decode has not arrived yet
    };

    void clearPreview();
    void show(const PreviewPlan& plan, bool autoPlay);
    void showPictureFile(const PreviewPlan& plan);
    // Shows the picture kept for `request`, or asks for its decode.
    void fetchPicture(const PictureRequest& request);
    void showPicture(const ReadyPicture& picture);
    void pictureDecoded(const std::string& key, const ReadyPicture* picture,
                        std::exception_ptr error);
    // A request for the picture at `path` at the size the pane draws it now.
    PictureRequest pictureRequest(const std::string& path, const std::string& extLower) const;
    void readAheadNeighbours();
    bool eventFilter(QObject* watched, QEvent* event) override;

    PreviewBox& box_;
    PreviewStatus& status_;
    MediaPreview* media_;   // owned by the home window
    PictureReader* reader_; // owned by the home window
    CategoryLists lists_;
    std::optional<PictureShow> picture_;
    std::string folder_;
    std::vector<std::string> readAhead_;
    QTimer resizeSettled_;
};

} // namespace harpoly::ui
