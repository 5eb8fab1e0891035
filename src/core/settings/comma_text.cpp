#include "core/settings/comma_text.h"

namespace harpoly {

namespace {

bool isBlankOrControl(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

} // namespace

std::vector<std::string> splitCommaText(std::string_view text) {
    std::vector<std::string> items;
    std::size_t p = 0;
    const std::size_t n = text.size();
    const auto skipBlanks = [&] {
        while (p < n && isBlankOrControl(text[p])) {
            ++p;
        }
    };
    skipBlanks();
    while (p < n) {
        std::string item;
        if (text[p] == '"') {
            ++p;
            while (p < n) {
                if (text[p] == '"') {
                    if (p + 1 < n && text[p + 1] == '"') {
                        item += '"';
                        p += 2;
                        continue;
                    }
                    ++p; // closing quote
                    break;
                }
                item += text[p++];
            }
        } else {
            const std::size_t start = p;
            while (p < n && !isBlankOrControl(text[p]) && text[p] != ',') {
                ++p;
            }
            item.assign(text.substr(start, p - start));
        }
        items.push_back(std::move(item));
        skipBlanks();
        if (p < n && text[p] == ',') {
            if (p + 1 == n) {
                items.emplace_back();
            }
            ++p;
            skipBlanks();
        }
    }
    return items;
}

std::string joinCommaText(const std::vector<std::string>& items) {
    std::string out;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) {
            out += ',';
        }
        const std::string& item = items[i];
        bool quote = item.empty();
        for (const char c : item) {
            if (isBlankOrControl(c) || c == '"' || c == ',') {
                quote = true;
                break;
            }
        }
        if (!quote) {
            out += item;
            continue;
        }
        out += '"';
        for (const char c : item) {
            if (c == '"') {
                out += '"';
            }
            out += c;
        }
        out += '"';
    }
    return out;
}

} // namespace harpoly
