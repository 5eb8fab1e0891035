#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace harpoly {

// A run of text with one character format. Text is UTF-8; "\n" stands for a
// line break inside the paragraph (\line) and "\t" for a tab.
struct RtfRun {
    std::string text;
    std::string fontFamily; // as the font table names it; empty when none
    double pointSize = 0;   // 0 when the document sets none
    bool bold = false;
    bool italic = false;
    bool underline = false;
    std::optional<std::uint32_t> colour; // 0xRRGGBB from the colour table
    bool operator==(const RtfRun&) const = default;
};

enum class RtfAlignment { Left, Centre, Right, Justify };

struct RtfParagraph {
    std::vector<RtfRun> runs;
    RtfAlignment alignment = RtfAlignment::Left;
};

struct RtfDocument {
    std::vector<RtfParagraph> paragraphs;
    bool shortened = false; // reading stopped at the text limit
    // Concatenated text of all paragraphs, paragraphs separated by "\n".
    std::string plainText() const;
};

// Whether the bytes are rich text (they start with "{\rtf").
bool isRichText(std::string_view bytes);

// Reads rich text into paragraphs of formatted runs. Never fails: unknown
// control words are ignored, pictures, font and colour tables, style sheets,
// document information, headers, footers and every "\*" destination are
// skipped, groups left open at the end are closed, extra closing braces are
// ignored. Nesting depth is handled with an explicit stack (no recursion).
// `\'hh` bytes are decoded in the document's code page (\ansicpg932 CP932,
// \ansicpg1252 or plain \ansi CP1252, \fcharset128 fonts CP932). Reading
// stops once `maxTextBytes` of text (UTF-8) have been produced.
RtfDocument readRtf(std::string_view bytes, std::size_t maxTextBytes = SIZE_MAX);

} // namespace harpoly
