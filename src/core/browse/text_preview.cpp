#include "browse/text_preview.h"

#include "errors.h"

namespace harpoly {

std::string decodeText(std::string_view bytes, TextEncoding* used, bool) {
    if (used) {
        *used = TextEncoding::Utf8;
    }
    return std::string(bytes);
}

TextPreview loadTextPreview(const std::string& path) {
    return loadTextPreview(path, kPlainTextPreviewCap, kRichTextPreviewCap);
}

TextPreview loadTextPreview(const std::string&, std::size_t, std::size_t) {
    raise(kind::FOpen);
}

} // namespace harpoly
