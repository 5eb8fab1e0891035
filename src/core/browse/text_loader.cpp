#include "core/browse/text_loader.h"

#include <algorithm>
#include <sys/stat.h>

namespace harpoly {

TextLoader::TextLoader(const std::string& path, TextLimits limits) : file_(path), end_(0) {
    std::uint8_t head[5];
    const std::size_t got = file_.readAt(0, head, sizeof head);
    rich_ = isRichText(std::string_view(reinterpret_cast<const char*>(head), got));
    end_ = std::min(file_.size(), rich_ ? limits.richBytes : limits.plainBytes);
    if (rich_) {
        const std::string bytes = readOn(static_cast<std::size_t>(end_));
        document_ = readRtf(bytes);
        finish(bytes.size() < end_ ? Ending::Shrank : Ending::Whole);
    } else if (end_ == 0) {
        finish(Ending::Whole);
    }
}

std::string TextLoader::readOn(std::size_t length) {
    std::string bytes(length, '\0');
    std::size_t total = 0;
    while (total < length) {
        const std::size_t n = file_.readAt(
            offset_ + total, reinterpret_cast<std::uint8_t*>(bytes.data()) + total, length - total);
        if (n == 0) {
            break; // the file ends sooner than it did when opened
        }
        total += n;
    }
    bytes.resize(total);
    offset_ += total;
    return bytes;
}

std::string TextLoader::nextText(std::size_t bytes) {
    if (done_) {
        return {};
    }
    const auto want = static_cast<std::size_t>(
        std::min<std::uint64_t>(std::max<std::size_t>(bytes, 1), end_ - offset_));
    const std::string raw = readOn(want);
    const bool shrank = raw.size() < want;
    const bool atEnd = shrank || offset_ == end_;
    // Bytes cut by the limit end inside the file: a character they cut is
    // left out rather than shown broken.
    const bool cut = atEnd && !shrank && end_ < file_.size();
    std::string text = lineEnds_.normalise(decoder_.decode(raw, atEnd && !cut));
    if (atEnd) {
        finish(shrank ? Ending::Shrank : Ending::Whole);
    }
    return text;
}

void TextLoader::finish(Ending ending) {
    done_ = true;
    ending_ = ending;
    if (ending_ == Ending::Whole && end_ < file_.size()) {
        ending_ = Ending::Limit;
    }
    struct stat st {};
    if (ending_ == Ending::Whole && ::fstat(file_.fd(), &st) == 0 &&
        static_cast<std::uint64_t>(st.st_size) > file_.size()) {
        ending_ = Ending::Grew;
    }
}

std::string TextLoader::endNote() const {
    const std::string size = std::to_string(file_.size());
    const std::string read = std::to_string(offset_);
    switch (ending_) {
    case Ending::Whole:
        break;
    case Ending::Limit:
        return "（ファイルが大きすぎるため、全 " + size + " バイトのうち先頭の " + read +
               " バイトだけを表示しています）";
    case Ending::Shrank:
        return "（読み込み中にファイルが短くなったため、" + read +
               " バイトで表示を終えました。開いたときは " + size + " バイトでした）";
    case Ending::Grew:
        return "（読み込み中にファイルが大きくなりました。表示は開いたときの " + size +
               " バイトまでです）";
    }
    return {};
}

} // namespace harpoly
