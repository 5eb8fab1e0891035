#pragma once

#include "core/imaging/icon_image.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace harpoly {

class BusyIndicator;
class FileListPort;
class Prompter;

// The picture formats of the icon tab, in the order of its drop-down.
enum class IconFormat { Ico = 0, Bmp = 1, Jpeg = 2 };

// ".ico", ".bmp", ".jpg"; empty for an index outside 0 to 2.
std::string iconFormatExtension(int formatIndex);

// Output folder + the source name without its extension (the file list's
// rule: no extension when a "/", "\" or ":" follows the last dot).
std::string iconStem(const std::string& outputFolder, const std::string& name);

// stem + "-" + index + the format's extension.
std::string iconPictureName(const std::string& stem, int index, int formatIndex);

// The file bytes of one icon: the icon itself as a 16-colour icon file, or
// the icon drawn on white as a 32-bit bitmap or a JPEG picture.
std::vector<std::uint8_t> encodeIconPicture(const IconImage& icon, IconFormat format);

// The notice of the format drop-down: shown when the icon format is chosen.
void noticeIconFormat(int formatIndex, Prompter& prompter, const std::string& caption);

struct IconExtractRequest {
    std::string name;          // the current item; empty when the list is empty
    std::string displayFolder; // ends with "/"
    std::string outputFolder;  // ends with "/"
    int formatIndex = 1;
    std::string caption; // the tab's caption
};

enum class IconExtractResult { NoIcons, Cancelled, Written };

// Writes every icon of the current file into the output folder, one picture
// per icon, after the question; a source without icons only gets its notice.
// Afterwards re-reads the list when the output folder is the display folder
// and runs `preview` otherwise. A picture that cannot be written throws
// Error(kind::FCreate); the pictures before it stay.
IconExtractResult extractIcons(const IconExtractRequest& request, FileListPort& list,
                               Prompter& prompter, BusyIndicator& busy,
                               const std::function<void()>& preview);

} // namespace harpoly
