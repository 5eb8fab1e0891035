#include "core/browse/text_preview.h"

#include <algorithm>
#include <iterator>

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
bool isUtf8(std::string_view s, bool truncated) {
    std::size_t i = 0;
    while (i < s.size()) {
        if (static_cast<unsigned char>(s[i]) < 0x80) {
            ++i;
            continue;
        }
        bool incomplete = false;
        const std::size_t n = utf8Sequence(s, i, incomplete);
        if (n == 0) {
            return incomplete && truncated;
        }
        i += n;
    }
    return true;
}

bool isHighSurrogate(std::string_view unit, bool bigEndian) {
    const auto hi = static_cast<unsigned char>(bigEndian ? unit[0] : unit[1]);
    return hi >= 0xD8 && hi <= 0xDB;
}

constexpr std::string_view kMarks[] = {"\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"};
constexpr TextEncoding kMarkEncodings[] = {TextEncoding::Utf8Bom, TextEncoding::Utf16LE,
                                           TextEncoding::Utf16BE};

} // namespace

bool TextDecoder::decided(std::string_view& bytes, bool last) {
    if (!markChecked_) {
        for (std::size_t m = 0; m < std::size(kMarks); ++m) {
            if (bytes.starts_with(kMarks[m])) {
                markChecked_ = decided_ = true;
                encoding_ = kMarkEncodings[m];
                bytes.remove_prefix(kMarks[m].size());
                return true;
            }
        }
        for (const std::string_view mark : kMarks) {
            if (!last && mark.starts_with(bytes)) {
                return false; // the start of a mark, or of something else
            }
        }
        markChecked_ = true;
    }
    if (!decided_) {
        const auto first = std::find_if(bytes.begin(), bytes.end(), [](char c) {
            return static_cast<unsigned char>(c) >= 0x80;
        });
        if (first != bytes.end()) {
            const std::string_view rest(first, bytes.end());
            encoding_ = isUtf8(rest, !last) ? TextEncoding::Utf8 : TextEncoding::Cp932;
            decided_ = true;
        }
    }
    return true;
}

std::string TextDecoder::decode(std::string_view bytes, bool last) {
    std::string joined;
    if (!pending_.empty()) {
        joined = std::move(pending_);
        pending_.clear();
        joined.append(bytes);
        bytes = joined;
    }
    if (!decided(bytes, last)) {
        pending_.assign(bytes);
        return {};
    }
    switch (encoding_) {
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE:
        return decodeUtf16(bytes, last);
    case TextEncoding::Cp932:
        return decodeCp932(bytes, last);
    case TextEncoding::Utf8Bom:
    case TextEncoding::Utf8:
        break;
    }
    return decodeUtf8(bytes, last); // also ASCII not yet decided
}

std::string TextDecoder::decodeUtf8(std::string_view s, bool last) {
    std::string out;
    out.reserve(s.size());
    std::size_t i = 0;
    std::size_t run = 0; // start of the valid bytes not yet copied
    while (i < s.size()) {
        if (static_cast<unsigned char>(s[i]) < 0x80) {
            ++i;
            continue;
        }
        bool incomplete = false;
        const std::size_t n = utf8Sequence(s, i, incomplete);
        if (n != 0) {
            i += n;
            continue;
        }
        out.append(s.substr(run, i - run));
        if (incomplete && !last) {
            pending_.assign(s.substr(i));
            return out;
        }
        appendUtf8(out, kReplacement);
        run = ++i;
    }
    out.append(s.substr(run));
    return out;
}

std::string TextDecoder::decodeUtf16(std::string_view s, bool last) {
    const bool bigEndian = encoding_ == TextEncoding::Utf16BE;
    std::size_t whole = s.size() / 2 * 2;
    if (!last) {
        if (whole >= 2 && isHighSurrogate(s.substr(whole - 2, 2), bigEndian)) {
            whole -= 2; // the pair may end in the next piece
        }
        pending_.assign(s.substr(whole));
    }
    return fromUtf16(s.substr(0, whole), bigEndian);
}

std::string TextDecoder::decodeCp932(std::string_view s, bool last) {
    std::size_t used = 0;
    std::string out = cp932_.decode(s, !last, &used);
    if (!last) {
        pending_.assign(s.substr(used));
    }
    return out;
}

std::string decodeText(std::string_view bytes, TextEncoding* used, bool truncated) {
    TextDecoder decoder;
    std::string out = decoder.decode(bytes, !truncated);
    if (used) {
        *used = decoder.encoding();
    }
    return out;
}

std::string LineEnds::normalise(std::string text) {
    if (text.empty()) {
        return text;
    }
    std::string::size_type r = afterReturn_ && text[0] == '\n' ? 1 : 0;
    afterReturn_ = false;
    std::string::size_type w = 0;
    for (; r < text.size(); ++r) {
        if (text[r] == '\r') {
            text[w++] = '\n';
            if (r + 1 == text.size()) {
                afterReturn_ = true; // its "\n" may begin the next piece
            } else if (text[r + 1] == '\n') {
                ++r;
            }
        } else {
            text[w++] = text[r];
        }
    }
    text.resize(w);
    return text;
}

} // namespace harpoly
