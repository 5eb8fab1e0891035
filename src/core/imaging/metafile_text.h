#pragma once

// Text of the metafile text records as UTF-8: ANSI strings in the character
// set of the font in use (Shift-JIS included), and UTF-16 strings. The
// character advances that a record gives per byte or per UTF-16 unit are
// folded into one advance per character.

#include "core/browse/charset_decode.h"

#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace harpoly::metafile {

// The iconv name of a font's character set (LOGFONT lfCharSet). The default
// and OEM sets are Shift-JIS, the code page of the systems these files come
// from.
const char* charsetName(std::uint8_t charset);

class TextDecoder {
public:
    // `advances` has one entry per byte, or is empty; `advancesOut` gets one
    // per character of the result when they can be matched, else none.
    std::string ansi(std::uint8_t charset, std::string_view bytes, std::span<const double> advances,
                     std::vector<double>& advancesOut);
    // Little-endian UTF-16 units; `advances` one per unit, or empty. NUL
    // characters are dropped.
    std::string utf16(std::span<const std::uint8_t> bytes, std::span<const double> advances,
                      std::vector<double>& advancesOut);

private:
    std::map<std::string, std::unique_ptr<CharsetDecoder>, std::less<>> decoders_;
};

// A UTF-16 face name of a LOGFONTW (up to `units` units, ended by a NUL).
std::string faceFromUtf16(std::span<const std::uint8_t> bytes);

} // namespace harpoly::metafile
