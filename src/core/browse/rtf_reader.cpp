#include "browse/rtf_reader.h"

namespace harpoly {

std::string RtfDocument::plainText() const {
    std::string out;
    for (std::size_t i = 0; i < paragraphs.size(); ++i) {
        if (i > 0) {
            out += '\n';
        }
        for (const RtfRun& run : paragraphs[i].runs) {
            out += run.text;
        }
    }
    return out;
}

bool isRichText(std::string_view bytes) {
    return bytes.substr(0, 5) == "{\\rtf";
}

RtfDocument readRtf(std::string_view) {
    return {};
}

std::string rtfToHtml(const RtfDocument&) {
    return {};
}

} // namespace harpoly
