#include "core/browse/charset_decode.h"

#include <cerrno>
#include <iconv.h>

namespace harpoly {

namespace {
const auto kNoConverter = reinterpret_cast<iconv_t>(-1);
} // namespace

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

CharsetDecoder::CharsetDecoder(const char* charset) : handle_(iconv_open("UTF-8", charset)) {}

CharsetDecoder::~CharsetDecoder() {
    if (static_cast<iconv_t>(handle_) != kNoConverter) {
        iconv_close(static_cast<iconv_t>(handle_));
    }
}

std::string CharsetDecoder::decode(std::string_view bytes, bool truncated, std::size_t* used) {
    static constexpr char kReplacement[] = "\xEF\xBF\xBD";
    const auto cd = static_cast<iconv_t>(handle_);
    std::string out;
    if (cd == kNoConverter) {
        // No table for this character set: keep ASCII, replace the rest.
        for (const char c : bytes) {
            out += static_cast<unsigned char>(c) < 0x80 ? std::string(1, c) : kReplacement;
        }
        if (used != nullptr) {
            *used = bytes.size();
        }
        return out;
    }
    iconv(cd, nullptr, nullptr, nullptr, nullptr); // back to the initial state
    // A character of a legacy code page never takes more than 3 UTF-8 bytes per
    // input byte; the loop grows the buffer for anything else.
    out.resize(bytes.size() * 3 + 4);
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char* dst = out.data();
    std::size_t outLeft = out.size();
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &dst, &outLeft) != static_cast<std::size_t>(-1)) {
            break;
        }
        if (errno == EINVAL && truncated) {
            break; // cut by the end of what was read
        }
        if (errno == E2BIG) {
            const std::size_t used = static_cast<std::size_t>(dst - out.data());
            out.resize(out.size() * 2);
            dst = out.data() + used;
            outLeft = out.size() - used;
            continue;
        }
        // EILSEQ, or EINVAL at the real end: one byte that is not CP932.
        if (outLeft < 3) {
            const std::size_t used = static_cast<std::size_t>(dst - out.data());
            out.resize(out.size() + 16);
            dst = out.data() + used;
            outLeft = out.size() - used;
        }
        for (int k = 0; k < 3; ++k) {
            *dst++ = kReplacement[k];
        }
        outLeft -= 3;
        ++in;
        --inLeft;
    }
    out.resize(static_cast<std::size_t>(dst - out.data()));
    if (used != nullptr) {
        *used = bytes.size() - inLeft;
    }
    return out;
}

} // namespace harpoly
