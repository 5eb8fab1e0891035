#pragma once

#include "core/browse/rtf_reader.h"
#include "core/browse/text_preview.h"
#include "core/platform/whole_file.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace harpoly {

// How much of a text file the preview shows at most. Plain text is shown
// whole up to a size that the pane can still hold (its view needs several
// bytes of memory per character); rich text is read and parsed whole before
// it is shown, and carries its pictures as hex, so it gets less.
struct TextLimits {
    std::uint64_t plainBytes = std::uint64_t{128} << 20; // 128 MiB
    std::uint64_t richBytes = std::uint64_t{16} << 20;   // 16 MiB
};

// A text file read for the preview pane, so that the pane can show its first
// screen at once and add the rest in steps. Plain text comes piece by piece,
// decoded and with "\n" line ends (TextDecoder, LineEnds); rich text
// (starting with "{\rtf") is parsed whole when the loader is made.
//
// The file is read as it was when it was opened: reading stops at that size
// (a file that grows meanwhile is not followed), and a file that shrinks
// ends the reading where its data ends. Either is told by endNote(), as is a
// file beyond the limits.
class TextLoader {
public:
    // Throws Error(kind::FOpen) when the file cannot be opened or is no
    // regular file, Error(kind::ReadError) when rich text cannot be read.
    explicit TextLoader(const std::string& path, TextLimits limits = {});

    bool rich() const { return rich_; }
    // Rich text: the whole document.
    const RtfDocument& document() const { return document_; }

    // Plain text: the text of at most `bytes` more bytes of the file; empty
    // once done(). Throws Error(kind::ReadError) when a read fails.
    std::string nextText(std::size_t bytes);
    bool done() const { return done_; }

    std::uint64_t fileSize() const { return file_.size(); } // when opened
    std::uint64_t bytesRead() const { return offset_; }

    // Once done(): the line that ends the pane when the file is not shown
    // whole as it was opened, in Japanese with the byte counts; empty when it
    // is.
    std::string endNote() const;

private:
    enum class Ending { Whole, Limit, Shrank, Grew };

    // Reads up to `length` bytes at the current offset; fewer only when the
    // file has shrunk.
    std::string readOn(std::size_t length);
    void finish(Ending ending);

    ReadableFile file_;
    std::uint64_t end_; // where reading stops: the size, or the limit
    std::uint64_t offset_ = 0;
    bool rich_ = false;
    bool done_ = false;
    Ending ending_ = Ending::Whole;
    RtfDocument document_;
    TextDecoder decoder_;
    LineEnds lineEnds_;
};

} // namespace harpoly
