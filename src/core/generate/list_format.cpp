#include "core/generate/list_format.h"

#include "core/browse/file_name.h"

namespace harpoly {

namespace {

const ListFormat kFormats[] = {
    {".html", nullptr, "<html><head><title>リンク</title></head>", "<body>", "</body></html>"},
    {".html", "Web", "<html><head><title>アルバム</title></head>",
     "<body><center><table border=2 cellpadding=12>", "</table></center>"},
    {".asx", "WM", " ", "<asx>", "</ASX>"},
    {".smil", "Real", "<smil>", "<body><seq>", "</seq></body></smil>"},
};

bool isControl(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

// Characters that no Windows file name holds and that would end an
// attribute or a tag early.
bool breaksMarkup(unsigned char c) {
    return c == '"' || c == '<' || c == '>' || isControl(c);
}

bool needsEscaping(std::string_view name) {
    for (unsigned char c : name) {
        if (breaksMarkup(c)) {
            return true;
        }
    }
    return false;
}

// The name as markup text. Names without a breaking character stay as their
// bytes ("&" included); in the others "&" is escaped as well, so that the
// references read back to the name.
std::string markupName(std::string_view name) {
    if (!needsEscaping(name)) {
        return std::string(name);
    }
    std::string out;
    for (unsigned char c : name) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        default:
            if (isControl(c)) {
                out += "&#" + std::to_string(c) + ";";
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out;
}

// An unquoted attribute value ends at a blank; an href holding one, or a
// character that needed a reference, is quoted.
bool needsQuotedHref(std::string_view name) {
    for (unsigned char c : name) {
        if (c == ' ' || breaksMarkup(c)) {
            return true;
        }
    }
    return false;
}

} // namespace

ListKind listKindFromIndex(int index) {
    if (index >= 1 && index <= 3) {
        return static_cast<ListKind>(index);
    }
    return ListKind::Link;
}

const ListFormat& listFormat(ListKind kind) {
    return kFormats[static_cast<int>(kind)];
}

std::string listFileLine(ListKind kind, std::string_view name) {
    const std::string text = markupName(name);
    switch (kind) {
    case ListKind::Album:
        return "<tr><td align=center><img src=\"" + text + "\"></td></tr>";
    case ListKind::Asx:
        return "<ENTRY><REF HREF=\"" + text + "\" /></ENTRY>";
    case ListKind::Smil:
        return "<video src=\"" + text + "\"/>";
    case ListKind::Link:
    default: {
        const std::string href = needsQuotedHref(name) ? "\"" + text + "\"" : text;
        return "<p><A href=" + href + ">" + text + "</A>";
    }
    }
}

std::vector<std::string> buildListLines(ListKind kind, const std::vector<std::string>& names,
                                        const std::vector<std::string>& extensions) {
    const ListFormat& format = listFormat(kind);
    std::vector<std::string> lines{format.line1, format.line2};
    for (const std::string& name : names) {
        bool listed = format.extKey == nullptr;
        if (!listed) {
            const std::string ext = FileExtLower(name);
            for (const std::string& e : extensions) {
                if ("." + e == ext) {
                    listed = true;
                    break;
                }
            }
        }
        if (listed) {
            lines.push_back(listFileLine(kind, name));
        }
    }
    lines.emplace_back(format.lastLine);
    return lines;
}

std::string joinCrLf(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

} // namespace harpoly
