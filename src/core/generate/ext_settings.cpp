#include "generate/ext_settings.h"

#include <fstream>
#include <iterator>

namespace harpoly {

namespace {

bool isBlank(unsigned char c) {
    return c <= ' ';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(static_cast<unsigned char>(s.front()))) {
        s.remove_prefix(1);
    }
    while (!s.empty() && isBlank(static_cast<unsigned char>(s.back()))) {
        s.remove_suffix(1);
    }
    return s;
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

// The value of section/key in ini text: lines end at CR, LF or CR LF and are
// trimmed; ";" lines are comments; names match without regard to case and
// the last occurrence wins.
std::string iniValue(std::string_view text, std::string_view section, std::string_view key) {
    std::string value;
    bool inSection = false;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string_view line = trim(text.substr(pos, end - pos));
        pos = end + (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n' ? 2 : 1);
        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (line.front() == '[' && line.back() == ']' && line.size() >= 2) {
            inSection = equalsIgnoringAsciiCase(trim(line.substr(1, line.size() - 2)), section);
            continue;
        }
        const std::size_t eq = line.find('=');
        if (inSection && eq != std::string_view::npos &&
            equalsIgnoringAsciiCase(trim(line.substr(0, eq)), key)) {
            value = std::string(trim(line.substr(eq + 1)));
        }
    }
    return value;
}

// Comma text: items end at a comma or a blank; a double-quoted item may hold
// both, "" standing for one quote; two commas give an empty item, and so does
// a comma at the very end.
std::vector<std::string> splitCommaText(std::string_view text) {
    std::vector<std::string> items;
    std::size_t p = 0;
    auto at = [&](std::size_t i) { return i < text.size() ? text[i] : '\0'; };
    auto skipBlanks = [&] {
        while (p < text.size() && text[p] != '\0' && isBlank(static_cast<unsigned char>(text[p]))) {
            ++p;
        }
    };
    skipBlanks();
    while (at(p) != '\0') {
        std::string item;
        if (at(p) == '"') {
            ++p;
            while (at(p) != '\0') {
                if (at(p) == '"') {
                    if (at(p + 1) == '"') {
                        item += '"';
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                item += text[p++];
            }
        } else {
            while (at(p) != '\0' && !isBlank(static_cast<unsigned char>(at(p))) && at(p) != ',') {
                item += text[p++];
            }
        }
        items.push_back(std::move(item));
        skipBlanks();
        if (at(p) == ',') {
            if (at(p + 1) == '\0') {
                items.emplace_back();
            }
            ++p;
            skipBlanks();
        }
    }
    return items;
}

} // namespace

std::vector<std::string> readExtList(const std::string& settingsPath, std::string_view key) {
    std::ifstream in(settingsPath, std::ios::binary);
    if (!in) {
        return {};
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return splitCommaText(iniValue(text, "Ext", key));
}

} // namespace harpoly
