#pragma once

#include "core/browse/charset_decode.h"

#include <string>
#include <string_view>

namespace harpoly {

enum class TextEncoding { Utf8Bom, Utf16LE, Utf16BE, Utf8, Cp932 };

// Decodes the bytes of a text to UTF-8 piece by piece, as they are read. A
// byte-order mark (UTF-8, UTF-16 LE/BE) decides the encoding and is dropped;
// without one the text is UTF-8 when its bytes are valid UTF-8, else CP932
// (bytes that are not CP932 either become U+FFFD). ASCII reads the same
// either way, so the choice is made by the piece that holds the first other
// byte. A character cut by the end of a piece waits for the next one.
class TextDecoder {
public:
    TextDecoder() = default;
    TextDecoder(const TextDecoder&) = delete;
    TextDecoder& operator=(const TextDecoder&) = delete;

    // The text of the next bytes. With `last` no bytes follow: a character
    // cut by the end is then shown as U+FFFD (UTF-16: an odd byte is
    // dropped).
    std::string decode(std::string_view bytes, bool last);
    // UTF-8 until a mark or the first byte outside ASCII decides.
    TextEncoding encoding() const { return encoding_; }

private:
    // Takes the mark, or decides from the first byte outside ASCII, once
    // there are bytes enough for either.
    bool decided(std::string_view& bytes, bool last);
    std::string decodeUtf8(std::string_view bytes, bool last);
    std::string decodeUtf16(std::string_view bytes, bool last);
    std::string decodeCp932(std::string_view bytes, bool last);

    TextEncoding encoding_ = TextEncoding::Utf8;
    bool markChecked_ = false;
    bool decided_ = false;
    std::string pending_; // bytes of a character cut by the end of a piece
    CharsetDecoder cp932_{"CP932"};
};

// A whole text at once, as TextDecoder reads it. With `truncated` the bytes
// were cut by a read cap: an incomplete character at the very end is dropped
// instead of deciding the encoding or being replaced.
std::string decodeText(std::string_view bytes, TextEncoding* used = nullptr,
                       bool truncated = false);

// Turns the line ends of every platform ("\r\n", "\r") into "\n", piece by
// piece: a "\r\n" split between two pieces stays one line end.
class LineEnds {
public:
    std::string normalise(std::string text);

private:
    bool afterReturn_ = false;
};

} // namespace harpoly
