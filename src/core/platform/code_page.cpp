#include "core/platform/code_page.h"

#include <clocale>
#include <cstring>
#include <langinfo.h>

namespace harpoly {

bool CodePage::isCharBoundary(std::string_view s, std::size_t pos) const {
    std::size_t i = 0;
    while (i < pos) {
        i += charLength(s, i);
    }
    return i == pos;
}

std::string CodePage::lower(std::string_view s) const {
    std::string out(s);
    for (std::size_t i = 0; i < out.size();) {
        const std::size_t n = charLength(out, i);
        if (n == 1 && out[i] >= 'A' && out[i] <= 'Z') {
            out[i] = static_cast<char>(out[i] - 'A' + 'a');
        }
        i += n;
    }
    return out;
}

std::size_t CodePage::find(std::string_view s, std::string_view needle, std::size_t from) const {
    if (needle.empty()) {
        return std::string_view::npos;
    }
    std::size_t i = 0;
    while (i < from && i < s.size()) {
        i += charLength(s, i);
    }
    for (; i + needle.size() <= s.size(); i += charLength(s, i)) {
        if (s.compare(i, needle.size(), needle) == 0) {
            return i;
        }
    }
    return std::string_view::npos;
}

namespace {

class Utf8CodePage final : public CodePage {
public:
    const char* name() const override { return "UTF-8"; }
    std::size_t charLength(std::string_view s, std::size_t pos) const override {
        const auto b = static_cast<unsigned char>(s[pos]);
        std::size_t n = 1;
        if (b >= 0xC2 && b <= 0xDF) {
            n = 2;
        } else if (b >= 0xE0 && b <= 0xEF) {
            n = 3;
        } else if (b >= 0xF0 && b <= 0xF4) {
            n = 4;
        }
        if (pos + n > s.size()) {
            return 1;
        }
        for (std::size_t k = 1; k < n; ++k) {
            if ((static_cast<unsigned char>(s[pos + k]) & 0xC0) != 0x80) {
                return 1;
            }
        }
        return n;
    }
};

class Cp932CodePage final : public CodePage {
public:
    const char* name() const override { return "CP932"; }
    std::size_t charLength(std::string_view s, std::size_t pos) const override {
        const auto b = static_cast<unsigned char>(s[pos]);
        const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        return lead && pos + 1 < s.size() ? 2 : 1;
    }
};

} // namespace

const CodePage& utf8CodePage() {
    static const Utf8CodePage page;
    return page;
}

const CodePage& cp932CodePage() {
    static const Cp932CodePage page;
    return page;
}

const CodePage& systemCodePage() {
    static const CodePage* page = [] {
        const char* cs = nl_langinfo(CODESET);
        const bool sjis = cs && (std::strstr(cs, "SJIS") || std::strstr(cs, "SHIFT_JIS") ||
                                 std::strstr(cs, "CP932") || std::strstr(cs, "WINDOWS-31J"));
        return sjis ? static_cast<const CodePage*>(&cp932CodePage()) : &utf8CodePage();
    }();
    return *page;
}

} // namespace harpoly
