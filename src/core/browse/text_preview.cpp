#include "core/browse/text_preview.h"

#include "core/browse/charset_decode.h"
#include "core/browse/rtf_reader.h"
#include "core/errors.h"
#include "core/platform/whole_file.h"

#include <algorithm>

namespace harpoly {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

std::string fromUtf16(std::string_view bytes, bool bigEndian) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    const std::size_t units = bytes.size() / 2;
    const auto unit = [&](std::size_t i) -> char32_t {
        const auto a = static_cast<unsigned char>(bytes[2 * i]);
        const auto b = static_cast<unsigned char>(bytes[2 * i + 1]);
        return bigEndian ? (a << 8 | b) : (b << 8 | a);
    };
    for (std::size_t i = 0; i < units; ++i) {
        const char32_t u = unit(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units) {
            const char32_t low = unit(i + 1);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                appendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        appendUtf8(out, u >= 0xD800 && u <= 0xDFFF ? kReplacement : u);
    }
    return out;
}

// Length of the valid UTF-8 sequence at `pos`, or 0 when it is invalid;
// `incomplete` tells a sequence cut by the end of the data.
std::size_t utf8Sequence(std::string_view s, std::size_t pos, bool& incomplete) {
    incomplete = false;
    const auto b = static_cast<unsigned char>(s[pos]);
    if (b < 0x80) {
        return 1;
    }
    std::size_t n;
    unsigned char lo = 0x80, hi = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
        n = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
        n = 3;
        lo = b == 0xE0 ? 0xA0 : 0x80;
        hi = b == 0xED ? 0x9F : 0xBF;
    } else if (b >= 0xF0 && b <= 0xF4) {
        n = 4;
        lo = b == 0xF0 ? 0x90 : 0x80;
        hi = b == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    for (std::size_t k = 1; k < n; ++k) {
        if (pos + k >= s.size()) {
            incomplete = true;
            return 0;
        }
        const auto c = static_cast<unsigned char>(s[pos + k]);
        if (c < (k == 1 ? lo : 0x80) || c > (k == 1 ? hi : 0xBF)) {
            return 0;
        }
    }
    return n;
}

// Whether the bytes are UTF-8; with `truncated`, a sequence cut by the end
// counts as valid (the cut is the reader's, not the file's).
bool isUtf8(std::string_view s, bool truncated, std::size_t& validEnd) {
    std::size_t i = 0;
    while (i < s.size()) {
        bool incomplete = false;
        const std::size_t n = utf8Sequence(s, i, incomplete);
        if (n == 0) {
            validEnd = i;
            return incomplete && truncated;
        }
        i += n;
    }
    validEnd = i;
    return true;
}

std::string utf8WithReplacements(std::string_view s, bool truncated) {
    std::string out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        bool incomplete = false;
        const std::size_t n = utf8Sequence(s, i, incomplete);
        if (n == 0) {
            if (incomplete && truncated) {
                break;
            }
            appendUtf8(out, kReplacement);
            ++i;
        } else {
            out.append(s.substr(i, n));
            i += n;
        }
    }
    return out;
}

// Line ends of every platform become "\n".
std::string normaliseLineEnds(std::string text) {
    std::string::size_type w = 0;
    for (std::string::size_type r = 0; r < text.size(); ++r) {
        if (text[r] == '\r') {
            text[w++] = '\n';
            if (r + 1 < text.size() && text[r + 1] == '\n') {
                ++r;
            }
        } else {
            text[w++] = text[r];
        }
    }
    text.resize(w);
    return text;
}

} // namespace

std::string decodeText(std::string_view bytes, TextEncoding* used, bool truncated) {
    TextEncoding encoding;
    std::string out;
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        encoding = TextEncoding::Utf8Bom;
        out = utf8WithReplacements(bytes.substr(3), truncated);
    } else if (bytes.starts_with("\xFF\xFE")) {
        encoding = TextEncoding::Utf16LE;
        out = fromUtf16(bytes.substr(2), false);
    } else if (bytes.starts_with("\xFE\xFF")) {
        encoding = TextEncoding::Utf16BE;
        out = fromUtf16(bytes.substr(2), true);
    } else {
        std::size_t validEnd = 0;
        if (isUtf8(bytes, truncated, validEnd)) {
            encoding = TextEncoding::Utf8;
            out.assign(bytes.substr(0, validEnd));
        } else {
            encoding = TextEncoding::Cp932;
            out = cp932BytesToUtf8(bytes, truncated);
        }
    }
    if (used) {
        *used = encoding;
    }
    return out;
}

TextPreview loadTextPreview(const std::string& path) {
    return loadTextPreview(path, kPlainTextPreviewCap, kRichTextPreviewCap);
}

TextPreview loadTextPreview(const std::string& path, std::size_t plainCap, std::size_t richCap) {
    FileBytes bytes = readFileHead(path, std::max<std::size_t>(plainCap, 5));
    std::string_view view = bytes.view();
    TextPreview preview;
    if (isRichText(view)) {
        if (bytes.shortened() && richCap > bytes.size) {
            bytes = readFileHead(path, richCap);
            view = bytes.view();
        }
        const RtfDocument doc = readRtf(view, std::min(plainCap, kRichTextPreviewTextCap));
        preview.rich = true;
        preview.shortened = doc.shortened;
        preview.html = rtfToHtml(doc);
        preview.text = doc.plainText();
    } else {
        if (view.size() > plainCap) {
            view = view.substr(0, plainCap);
        }
        preview.text = normaliseLineEnds(decodeText(view, nullptr, bytes.fileSize > view.size()));
    }
    preview.shortened = preview.shortened || bytes.fileSize > view.size();
    return preview;
}

} // namespace harpoly
