#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace harpoly {

// How much of a file the text preview reads. A larger file shows a shortened
// view: its first bytes only (cut at a character boundary), so that a 100 MB
// log file neither stalls the window nor fills its memory.
inline constexpr std::size_t kPlainTextPreviewCap = 1u << 20; // 1 MiB
// Rich text carries its pictures as hex inside the file; it gets more room.
inline constexpr std::size_t kRichTextPreviewCap = 16u << 20; // 16 MiB
// A rich-text view parses HTML far more slowly than plain text: rich text is
// read up to this much text (UTF-8), at most the plain cap.
inline constexpr std::size_t kRichTextPreviewTextCap = 256u << 10; // 256 KiB

enum class TextEncoding { Utf8Bom, Utf16LE, Utf16BE, Utf8, Cp932 };

// Decodes text bytes to UTF-8: a byte-order mark (UTF-8, UTF-16 LE/BE)
// decides; else valid UTF-8 is UTF-8; else CP932 (bytes that are not CP932
// either become U+FFFD). The mark itself is dropped. With `truncated`, an
// incomplete character at the very end is dropped instead of deciding.
std::string decodeText(std::string_view bytes, TextEncoding* used = nullptr,
                       bool truncated = false);

struct TextPreview {
    bool rich = false;      // the file is rich text: show `html`
    std::string text;       // plain text (UTF-8), also set for rich text
    std::string html;       // set for rich text
    bool shortened = false; // the file was longer than the cap
};

// Reads a text file for the preview pane. Throws Error(kind::FOpen) when the
// file cannot be opened or read.
TextPreview loadTextPreview(const std::string& path);
TextPreview loadTextPreview(const std::string& path, std::size_t plainCap, std::size_t richCap);

} // namespace harpoly
