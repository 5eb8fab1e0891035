#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace harpoly {

// The byte rules of a multi-byte code page: where characters begin, and the
// system's lower-casing (ASCII A to Z only, never touching the second byte of
// a double-byte character).
class CodePage {
public:
    virtual ~CodePage() = default;
    virtual const char* name() const = 0;
    // Number of bytes of the character that starts at `pos` (at least 1, never
    // past the end of `s`). Invalid bytes count as one-byte characters.
    virtual std::size_t charLength(std::string_view s, std::size_t pos) const = 0;

    // Whether `pos` is the start of a character when `s` is walked from its start.
    bool isCharBoundary(std::string_view s, std::size_t pos) const;
    std::string lower(std::string_view s) const;
    // Position of the first occurrence of `needle` at or after `from` that
    // begins on a character boundary; npos when there is none or `needle` is empty.
    std::size_t find(std::string_view s, std::string_view needle, std::size_t from = 0) const;
};

const CodePage& utf8CodePage();
const CodePage& cp932CodePage();
// The locale's code page: CP932 when the locale's charset is Shift-JIS, else UTF-8.
const CodePage& systemCodePage();

} // namespace harpoly
