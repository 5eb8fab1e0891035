#include "core/platform/shown_name.h"

#include <cerrno>
#include <iconv.h>
#include <optional>

namespace harpoly {

namespace {

// Length of the well-formed UTF-8 sequence at `pos`, or 0 when it is not one
// (overlong forms, surrogates and code points above U+10FFFF are rejected).
std::size_t utf8SequenceLength(std::string_view s, std::size_t pos) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char b0 = byte(pos);
    if (b0 < 0x80) {
        return 1;
    }
    std::size_t len = 0;
    unsigned char lo = 0x80, hi = 0xBF;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3;
        if (b0 == 0xE0) {
            lo = 0xA0;
        } else if (b0 == 0xED) {
            hi = 0x9F;
        }
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4;
        if (b0 == 0xF0) {
            lo = 0x90;
        } else if (b0 == 0xF4) {
            hi = 0x8F;
        }
    } else {
        return 0;
    }
    if (pos + len > s.size()) {
        return 0;
    }
    if (byte(pos + 1) < lo || byte(pos + 1) > hi) {
        return 0;
    }
    for (std::size_t i = 2; i < len; ++i) {
        if (byte(pos + i) < 0x80 || byte(pos + i) > 0xBF) {
            return 0;
        }
    }
    return len;
}

class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv() {
        if (valid()) {
            iconv_close(cd_);
        }
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

std::optional<std::string> cp932ToUtf8(std::string_view bytes) {
    Iconv cd("UTF-8", "CP932");
    if (!cd.valid()) {
        return std::nullopt;
    }
    std::string in(bytes);
    std::string out(in.size() * 3 + 4, '\0');
    char* inPtr = in.data();
    std::size_t inLeft = in.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    if (iconv(cd.get(), &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
        return std::nullopt; // an invalid or incomplete double-byte character
    }
    out.resize(out.size() - outLeft);
    return out;
}

} // namespace

bool isValidUtf8(std::string_view bytes) {
    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::size_t len = utf8SequenceLength(bytes, pos);
        if (len == 0) {
            return false;
        }
        pos += len;
    }
    return true;
}

std::string shownName(std::string_view bytes) {
    if (isValidUtf8(bytes)) {
        return std::string(bytes);
    }
    if (auto decoded = cp932ToUtf8(bytes)) {
        return *decoded;
    }
    std::string out;
    out.reserve(bytes.size() + 8);
    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::size_t len = utf8SequenceLength(bytes, pos);
        if (len == 0) {
            out += "\xEF\xBF\xBD"; // U+FFFD
            ++pos;
        } else {
            out.append(bytes.substr(pos, len));
            pos += len;
        }
    }
    return out;
}

std::string shownPath(std::string_view path) {
    std::string out;
    out.reserve(path.size() + 8);
    std::size_t start = 0;
    for (;;) {
        const std::size_t slash = path.find('/', start);
        out += shownName(path.substr(start, slash - start));
        if (slash == std::string_view::npos) {
            return out;
        }
        out += '/';
        start = slash + 1;
    }
}

} // namespace harpoly
