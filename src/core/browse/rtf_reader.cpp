#include "core/browse/rtf_reader.h"

#include "core/browse/charset_decode.h"

#include <map>
#include <memory>

namespace harpoly {

namespace {

// Deeper nesting than this is counted, not stacked: a file of a million "{"
// must not cost a million saved states.
constexpr std::size_t kMaxDepth = 4096;
// Font names are short (Windows allows 31 characters); the rest of a longer
// one is dropped, since every run in that font carries a copy of its name.
constexpr std::size_t kMaxFontNameBytes = 128;
// A font table entry costs far more than the few bytes of "\fN"; real
// documents name a few dozen fonts.
constexpr std::size_t kMaxFonts = 4096;

enum class Destination { Text, Skip, FontTable, ColourTable };

struct GroupState {
    Destination dest = Destination::Text;
    int font = -1;
    int halfPoints = 0; // 0: none set
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int colour = 0;
    int ucSkip = 1;
    RtfAlignment alignment = RtfAlignment::Left;
};

struct Font {
    std::string name; // bytes as written, decoded when the entry ends
    int codePage = 0; // 0: the document's
};

std::string charsetName(int codePage) {
    switch (codePage) {
    case 65001:
        return "UTF-8";
    case 10000:
        return "MACINTOSH";
    default:
        return "CP" + std::to_string(codePage);
    }
}

int codePageOfCharset(int charset) {
    switch (charset) {
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    default:
        return 0; // ANSI, default and symbol fonts follow the document
    }
}

bool isAscii(std::string_view s) {
    for (const char c : s) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

// The destinations whose text is never shown.
bool isSkippedDestination(std::string_view word) {
    static constexpr std::string_view skipped[] = {
        "stylesheet",
        "info",
        "pict",
        "header",
        "headerl",
        "headerr",
        "headerf",
        "footer",
        "footerl",
        "footerr",
        "footerf",
        "footnote",
        "annotation",
        "object",
        "objdata",
        "fldinst",
        "xe",
        "tc",
        "txe",
        "rxe",
        "nonshppict",
        "shpinst",
        "listtable",
        "listoverridetable",
        "revtbl",
        "rsidtbl",
        "filetbl",
        "themedata",
        "colorschememapping",
        "latentstyles",
        "datastore",
        "xmlnstbl",
        "generator",
        "pgdsctbl",
        "template",
        "userprops",
        "docvar",
        "atnid",
        "atnauthor",
        "bkmkstart",
        "bkmkend",
        "fchars",
        "lchars",
        "mmathPr",
        "pntext",
        "pntxta",
        "pntxtb",
        "ftnsep",
        "ftnsepc",
        "ftncn",
        "aftnsep",
        "aftnsepc",
        "aftncn",
    };
    for (const std::string_view s : skipped) {
        if (word == s) {
            return true;
        }
    }
    return false;
}

class RtfParser {
public:
    RtfParser(std::string_view in, std::size_t maxText) : in_(in), maxText_(maxText) {
        stack_.push_back(GroupState{});
    }

    RtfDocument run() {
        while (pos_ < in_.size()) {
            if (textBytes_ >= maxText_ || limitReached_) {
                doc_.shortened = true;
                break;
            }
            const char c = in_[pos_];
            if (c == '{') {
                ++pos_;
                openGroup();
            } else if (c == '}') {
                ++pos_;
                closeGroup();
            } else if (c == '\\') {
                ++pos_;
                controlSequence();
            } else {
                ++pos_;
                if (c == '\r' || c == '\n' || c == '\0') {
                    continue;
                }
                if (c == '\t') {
                    symbol("\t");
                } else {
                    byte(c);
                }
            }
        }
        flush();
        if (!paragraph_.runs.empty()) {
            endParagraph();
        }
        return std::move(doc_);
    }

private:
    GroupState& state() { return stack_.back(); }

    void openGroup() {
        skipCount_ = 0;
        if (stack_.size() >= kMaxDepth) {
            ++excessDepth_;
            return;
        }
        flush();
        stack_.push_back(state());
        starred_ = false;
    }

    void closeGroup() {
        skipCount_ = 0;
        if (excessDepth_ > 0) {
            --excessDepth_;
            return;
        }
        if (stack_.size() <= 1) {
            return; // a closing brace too many
        }
        flush();
        if (state().dest == Destination::FontTable) {
            fontEntry_ = -1; // an entry's group ends it, with or without ";"
        }
        stack_.pop_back();
    }

    // A control word or a control symbol, after its backslash.
    void controlSequence() {
        if (pos_ >= in_.size()) {
            return;
        }
        const char c = in_[pos_];
        if (!isLetter(c)) {
            ++pos_;
            controlSymbol(c);
            return;
        }
        const std::size_t start = pos_;
        while (pos_ < in_.size() && isLetter(in_[pos_]) && pos_ - start < 32) {
            ++pos_;
        }
        const std::string_view word = in_.substr(start, pos_ - start);
        bool hasParam = false;
        long param = 0;
        bool negative = false;
        if (pos_ < in_.size() && in_[pos_] == '-' && pos_ + 1 < in_.size() &&
            isDigit(in_[pos_ + 1])) {
            negative = true;
            ++pos_;
        }
        std::size_t digits = 0;
        while (pos_ < in_.size() && isDigit(in_[pos_])) {
            if (digits < 10) {
                param = param * 10 + (in_[pos_] - '0');
            }
            ++digits;
            ++pos_;
            hasParam = true;
        }
        if (negative) {
            param = -param;
        }
        if (pos_ < in_.size() && in_[pos_] == ' ') {
            ++pos_;
        }
        controlWord(word, hasParam, param);
    }

    void controlSymbol(char c) {
        switch (c) {
        case '\'': {
            const int hi = pos_ < in_.size() ? hexValue(in_[pos_]) : -1;
            const int lo = pos_ + 1 < in_.size() ? hexValue(in_[pos_ + 1]) : -1;
            if (hi < 0 || lo < 0) {
                pos_ += hi < 0 ? 0 : 1; // a cut-off escape shows nothing
                return;
            }
            pos_ += 2;
            byte(static_cast<char>(hi * 16 + lo));
            return;
        }
        case '*':
            starred_ = true;
            return;
        case '\\':
        case '{':
        case '}':
            byte(c);
            return;
        case '~':
            symbol("\u00A0");
            return;
        case '_':
            symbol("\u2011");
            return;
        case '-': // optional hyphen: not shown
            consumeSkip();
            return;
        case '\r':
        case '\n':
            paragraphMark();
            return;
        case '\t':
            symbol("\t");
            return;
        default:
            consumeSkip();
            return;
        }
    }

    void controlWord(std::string_view word, bool hasParam, long param) {
        // "\*" marks a destination that may be ignored; every one is.
        if (starred_) {
            starred_ = false;
            setDestination(Destination::Skip);
            return;
        }
        if (word == "bin") {
            // Binary data: skip it whole, whatever bytes it holds.
            const std::size_t n = hasParam && param > 0 ? static_cast<std::size_t>(param) : 0;
            pos_ += std::min(n, in_.size() - pos_);
            return;
        }
        if (state().dest == Destination::Skip) {
            return;
        }
        if (word == "fonttbl") {
            setDestination(Destination::FontTable);
            return;
        }
        if (word == "colortbl") {
            setDestination(Destination::ColourTable);
            colourEntry_ = Colour{};
            return;
        }
        if (isSkippedDestination(word)) {
            setDestination(Destination::Skip);
            return;
        }
        const int p = static_cast<int>(param);
        const bool on = !hasParam || param != 0;
        if (state().dest == Destination::FontTable) {
            if (word == "f") {
                // Entries past the limit are read as no font at all.
                fontEntry_ = fonts_.size() < kMaxFonts || fonts_.count(p) ? p : -1;
                if (fontEntry_ >= 0) {
                    fonts_[p];
                }
            } else if (word == "fcharset" && fontEntry_ >= 0) {
                fonts_[fontEntry_].codePage = codePageOfCharset(p);
            }
            return;
        }
        if (state().dest == Destination::ColourTable) {
            if (word == "red") {
                colourEntry_.value = (colourEntry_.value & 0x00FFFF) | (p & 0xFF) << 16;
                colourEntry_.set = true;
            } else if (word == "green") {
                colourEntry_.value = (colourEntry_.value & 0xFF00FF) | (p & 0xFF) << 8;
                colourEntry_.set = true;
            } else if (word == "blue") {
                colourEntry_.value = (colourEntry_.value & 0xFFFF00) | (p & 0xFF);
                colourEntry_.set = true;
            }
            return;
        }

        // Document settings.
        if (word == "ansi") {
            docCodePage_ = 1252;
        } else if (word == "ansicpg" && hasParam && p > 0) {
            flush();
            docCodePage_ = p;
        } else if (word == "mac") {
            docCodePage_ = 10000;
        } else if (word == "pc") {
            docCodePage_ = 437;
        } else if (word == "pca") {
            docCodePage_ = 850;
        } else if (word == "deff") {
            defaultFont_ = p;
        } else if (word == "uc") {
            state().ucSkip = hasParam && param >= 0 ? p : 1;
        } else if (word == "u" && hasParam) {
            unicode(param);
            return; // the fallback that follows is skipped, not this word
        }
        // Text and breaks.
        else if (word == "par" || word == "sect" || word == "page" || word == "row") {
            paragraphMark();
        } else if (word == "line") {
            symbol("\n");
        } else if (word == "tab" || word == "cell") {
            symbol("\t");
        } else if (word == "emdash") {
            symbol("\u2014");
        } else if (word == "endash") {
            symbol("\u2013");
        } else if (word == "bullet") {
            symbol("\u2022");
        } else if (word == "lquote") {
            symbol("\u2018");
        } else if (word == "rquote") {
            symbol("\u2019");
        } else if (word == "ldblquote") {
            symbol("\u201C");
        } else if (word == "rdblquote") {
            symbol("\u201D");
        } else if (word == "emspace") {
            symbol("\u2003");
        } else if (word == "enspace") {
            symbol("\u2002");
        }
        // Character format.
        else if (word == "plain") {
            flush();
            GroupState& s = state();
            s.font = defaultFont_;
            s.halfPoints = 0;
            s.bold = s.italic = s.underline = false;
            s.colour = 0;
        } else if (word == "f") {
            flush();
            state().font = p;
        } else if (word == "fs") {
            flush();
            state().halfPoints = hasParam && param > 0 && param < 32768 ? p : 0;
        } else if (word == "b") {
            flush();
            state().bold = on;
        } else if (word == "i") {
            flush();
            state().italic = on;
        } else if (word == "ul" || word == "uld" || word == "uldb" || word == "ulw" ||
                   word == "uldash" || word == "ulth" || word == "ulwave") {
            flush();
            state().underline = on;
        } else if (word == "ulnone") {
            flush();
            state().underline = false;
        } else if (word == "cf") {
            flush();
            state().colour = p;
        }
        // Paragraph format.
        else if (word == "pard") {
            state().alignment = RtfAlignment::Left;
        } else if (word == "ql") {
            state().alignment = RtfAlignment::Left;
        } else if (word == "qc") {
            state().alignment = RtfAlignment::Centre;
        } else if (word == "qr") {
            state().alignment = RtfAlignment::Right;
        } else if (word == "qj") {
            state().alignment = RtfAlignment::Justify;
        } else {
            // Any other word is a character of the \u fallback, if one is pending.
            consumeSkip();
        }
    }

    void setDestination(Destination d) {
        flush();
        if (stack_.size() > 1) {
            state().dest = d;
        }
    }

    // One byte of text in the current code page (or of a font name).
    void byte(char c) {
        if (consumeSkip()) {
            return;
        }
        switch (state().dest) {
        case Destination::Skip:
            return;
        case Destination::FontTable:
            if (c == ';') {
                fontEntry_ = -1;
            } else if (fontEntry_ >= 0) {
                std::string& name = fonts_[fontEntry_].name;
                if (name.size() < kMaxFontNameBytes) {
                    name += c;
                }
            }
            return;
        case Destination::ColourTable:
            if (c == ';') {
                colours_.push_back(colourEntry_);
                colourEntry_ = Colour{};
            }
            return;
        case Destination::Text:
            break;
        }
        const int cp = currentCodePage();
        if (cp != pendingCodePage_) {
            flush();
            pendingCodePage_ = cp;
        }
        pending_ += c;
        if (textBytes_ + pending_.size() >= maxText_) {
            // A long run without a control word would otherwise be taken
            // whole, past the text limit.
            flush();
            limitReached_ = true;
        }
    }

    // Text given as UTF-8 (a symbol word or a \u character).
    void symbol(std::string_view utf8) {
        if (state().dest != Destination::Text) {
            return;
        }
        flush();
        appendText(utf8);
    }

    void unicode(long value) {
        if (value < 0) {
            value += 65536;
        }
        const auto unit = static_cast<char32_t>(value & 0xFFFF);
        skipCount_ = state().ucSkip;
        if (state().dest != Destination::Text) {
            return;
        }
        std::string out;
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            highSurrogate_ = unit;
            return;
        }
        if (unit >= 0xDC00 && unit <= 0xDFFF) {
            if (highSurrogate_ != 0) {
                appendUtf8(out, 0x10000 + ((highSurrogate_ - 0xD800) << 10) + (unit - 0xDC00));
            } else {
                appendUtf8(out, 0xFFFD);
            }
        } else {
            appendUtf8(out, unit);
        }
        highSurrogate_ = 0;
        flush();
        appendText(out);
    }

    // After \uN, the next N characters are the fallback for older readers.
    bool consumeSkip() {
        if (skipCount_ > 0) {
            --skipCount_;
            return true;
        }
        return false;
    }

    void paragraphMark() {
        if (state().dest != Destination::Text) {
            return;
        }
        flush();
        endParagraph();
    }

    void endParagraph() {
        ++textBytes_; // the line end it becomes in plain text
        paragraph_.alignment = state().alignment;
        doc_.paragraphs.push_back(std::move(paragraph_));
        paragraph_ = RtfParagraph{};
    }

    int currentCodePage() const {
        const auto it = fonts_.find(stack_.back().font);
        if (it != fonts_.end() && it->second.codePage != 0) {
            return it->second.codePage;
        }
        return docCodePage_;
    }

    void flush() {
        if (pending_.empty()) {
            return;
        }
        const std::string text = decodeBytes(pendingCodePage_, pending_);
        pending_.clear();
        appendText(text);
    }

    void appendText(std::string_view text) {
        if (textBytes_ + text.size() > maxText_) {
            // Decoding may have grown the bytes (up to three UTF-8 bytes
            // each): cut at the limit, at the start of a character.
            std::size_t end = maxText_ > textBytes_ ? maxText_ - textBytes_ : 0;
            while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
                --end;
            }
            text = text.substr(0, end);
            limitReached_ = true;
        }
        if (text.empty()) {
            return;
        }
        textBytes_ += text.size();
        const GroupState& s = state();
        RtfRun format;
        const int fontIndex = s.font >= 0 ? s.font : defaultFont_;
        const auto font = fonts_.find(fontIndex);
        if (font != fonts_.end()) {
            format.fontFamily = fontName(font->second);
        }
        format.pointSize = s.halfPoints / 2.0;
        format.bold = s.bold;
        format.italic = s.italic;
        format.underline = s.underline;
        if (s.colour > 0 && static_cast<std::size_t>(s.colour) < colours_.size() &&
            colours_[s.colour].set) {
            format.colour = colours_[s.colour].value;
        }
        std::vector<RtfRun>& runs = paragraph_.runs;
        if (!runs.empty() && sameFormat(runs.back(), format)) {
            runs.back().text += text;
            return;
        }
        format.text = std::string(text);
        runs.push_back(std::move(format));
    }

    // A font entry's name is decoded once, in its own code page.
    std::string decodeBytes(int codePage, std::string_view bytes) {
        if (isAscii(bytes)) {
            return std::string(bytes);
        }
        std::unique_ptr<CharsetDecoder>& decoder = decoders_[codePage];
        if (!decoder) {
            decoder = std::make_unique<CharsetDecoder>(charsetName(codePage).c_str());
        }
        return decoder->decode(bytes);
    }

    std::string fontName(Font& f) {
        auto it = decodedNames_.find(&f);
        if (it == decodedNames_.end()) {
            std::string name = decodeBytes(f.codePage ? f.codePage : docCodePage_, f.name);
            while (!name.empty() && name.back() == ' ') {
                name.pop_back();
            }
            while (!name.empty() && name.front() == ' ') {
                name.erase(name.begin());
            }
            it = decodedNames_.emplace(&f, std::move(name)).first;
        }
        return it->second;
    }

    static bool sameFormat(const RtfRun& a, const RtfRun& b) {
        return a.fontFamily == b.fontFamily && a.pointSize == b.pointSize && a.bold == b.bold &&
               a.italic == b.italic && a.underline == b.underline && a.colour == b.colour;
    }

    static bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
    static bool isDigit(char c) { return c >= '0' && c <= '9'; }
    static int hexValue(char c) {
        if (c >= '0' && c <= '9') {
            return c - '0';
        }
        if (c >= 'a' && c <= 'f') {
            return c - 'a' + 10;
        }
        if (c >= 'A' && c <= 'F') {
            return c - 'A' + 10;
        }
        return -1;
    }

    struct Colour {
        std::uint32_t value = 0;
        bool set = false;
    };

    std::string_view in_;
    std::size_t maxText_;
    std::size_t textBytes_ = 0;
    bool limitReached_ = false;
    std::size_t pos_ = 0;
    std::vector<GroupState> stack_;
    std::size_t excessDepth_ = 0;
    bool starred_ = false;
    int skipCount_ = 0;
    char32_t highSurrogate_ = 0;

    int docCodePage_ = 1252;
    int defaultFont_ = -1;
    std::map<int, Font> fonts_;
    std::map<const Font*, std::string> decodedNames_;
    std::map<int, std::unique_ptr<CharsetDecoder>> decoders_;
    int fontEntry_ = -1;
    std::vector<Colour> colours_;
    Colour colourEntry_;

    std::string pending_;
    int pendingCodePage_ = 1252;
    RtfDocument doc_;
    RtfParagraph paragraph_;
};

} // namespace

std::string RtfDocument::plainText() const {
    std::string out;
    for (std::size_t i = 0; i < paragraphs.size(); ++i) {
        if (i > 0) {
            out += '\n';
        }
        for (const RtfRun& run : paragraphs[i].runs) {
            out += run.text;
        }
    }
    return out;
}

bool isRichText(std::string_view bytes) {
    return bytes.substr(0, 5) == "{\\rtf";
}

RtfDocument readRtf(std::string_view bytes, std::size_t maxTextBytes) {
    return RtfParser(bytes, maxTextBytes).run();
}

} // namespace harpoly
