#pragma once

#include <string>
#include <string_view>

namespace harpoly {

// Bytes of a character set that iconv knows ("CP932", "CP1252", ...) to
// UTF-8. A byte that starts no valid character becomes U+FFFD and decoding
// goes on after it; with `truncated`, a character cut by the end of the data
// is dropped. An unknown character set keeps ASCII and replaces the rest.
// One decoder keeps its conversion table open for many calls.
class CharsetDecoder {
public:
    explicit CharsetDecoder(const char* charset);
    ~CharsetDecoder();
    CharsetDecoder(const CharsetDecoder&) = delete;
    CharsetDecoder& operator=(const CharsetDecoder&) = delete;

    // With `used`, the number of bytes decoded is stored there: all of them,
    // or with `truncated` those before a character cut by the end.
    std::string decode(std::string_view bytes, bool truncated = false, std::size_t* used = nullptr);

private:
    void* handle_; // iconv_t, or (void*)-1 when the character set is unknown
};

inline std::string charsetBytesToUtf8(const char* charset, std::string_view bytes,
                                      bool truncated = false) {
    return CharsetDecoder(charset).decode(bytes, truncated);
}

// Appends code point `c` to `out` as UTF-8.
void appendUtf8(std::string& out, char32_t c);

// CP932 (Shift-JIS) bytes to UTF-8.
inline std::string cp932BytesToUtf8(std::string_view bytes, bool truncated = false) {
    return charsetBytesToUtf8("CP932", bytes, truncated);
}

} // namespace harpoly
