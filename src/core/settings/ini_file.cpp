#include "core/settings/ini_file.h"

#include <charconv>
#include <utility>

namespace harpoly {

namespace {

bool isBlankOrControl(char c) {
    return static_cast<unsigned char>(c) <= 0x20 || c == 0x7F;
}

std::string_view trim(std::string_view s) {
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && isBlankOrControl(s[b])) {
        ++b;
    }
    while (e > b && isBlankOrControl(s[e - 1])) {
        --e;
    }
    return s.substr(b, e - b);
}

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

IniFile::Line makeLine(std::string text) {
    const std::size_t eq = text.find('=');
    return {std::move(text), eq};
}

} // namespace

bool parseIniInteger(std::string_view text, std::int32_t& value) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        // Up to eight hexadecimal digits; the top bit gives a negative value.
        const std::string_view digits = text.substr(2);
        std::uint32_t u = 0;
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), u, 16);
        if (ec != std::errc{} || end != digits.data() + digits.size()) {
            return false;
        }
        value = static_cast<std::int32_t>(u);
        return true;
    }
    std::string_view digits = text;
    if (!digits.empty() && digits[0] == '+') {
        digits.remove_prefix(1);
        if (!digits.empty() && digits[0] == '-') {
            return false;
        }
    }
    std::int32_t v = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), v, 10);
    if (digits.empty() || ec != std::errc{} || end != digits.data() + digits.size()) {
        return false;
    }
    value = v;
    return true;
}

void IniFile::parse(std::string_view text) {
    sections_.clear();
    Section* current = nullptr;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string_view line = trim(text.substr(pos, end - pos));
        pos = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (line.front() == '[' && line.back() == ']' && line.size() >= 2) {
            sections_.push_back({std::string(trim(line.substr(1, line.size() - 2))), {}});
            current = &sections_.back();
            continue;
        }
        if (!current) {
            continue; // text before the first section
        }
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) {
            current->lines.push_back({std::string(line), std::string::npos});
        } else {
            std::string stored(trim(line.substr(0, eq)));
            stored += '=';
            stored += trim(line.substr(eq + 1));
            current->lines.push_back(makeLine(std::move(stored)));
        }
    }
}

std::string IniFile::text() const {
    std::size_t size = 0;
    for (const Section& s : sections_) {
        size += s.name.size() + 6;
        for (const Line& l : s.lines) {
            size += l.text.size() + 2;
        }
    }
    std::string out;
    out.reserve(size);
    for (const Section& s : sections_) {
        out += '[';
        out += s.name;
        out += "]\r\n";
        for (const Line& l : s.lines) {
            out += l.text;
            out += "\r\n";
        }
        out += "\r\n";
    }
    return out;
}

const IniFile::Section* IniFile::findSection(std::string_view name) const {
    for (auto it = sections_.rbegin(); it != sections_.rend(); ++it) {
        if (sameIgnoringCase(it->name, name)) {
            return &*it;
        }
    }
    return nullptr;
}

IniFile::Section* IniFile::findSection(std::string_view name) {
    return const_cast<Section*>(std::as_const(*this).findSection(name));
}

const IniFile::Line* IniFile::findLine(std::string_view section, std::string_view key) const {
    const Section* s = findSection(section);
    if (!s) {
        return nullptr;
    }
    for (auto it = s->lines.rbegin(); it != s->lines.rend(); ++it) {
        if (it->keyEnd != std::string::npos &&
            sameIgnoringCase(std::string_view(it->text).substr(0, it->keyEnd), key)) {
            return &*it;
        }
    }
    return nullptr;
}

IniFile::Line* IniFile::findLine(std::string_view section, std::string_view key) {
    return const_cast<Line*>(std::as_const(*this).findLine(section, key));
}

bool IniFile::hasSection(std::string_view section) const {
    return findSection(section) != nullptr;
}

bool IniFile::hasKey(std::string_view section, std::string_view key) const {
    return findLine(section, key) != nullptr;
}

std::string IniFile::readString(std::string_view section, std::string_view key,
                                std::string_view fallback) const {
    const Line* line = findLine(section, key);
    return std::string(line ? std::string_view(line->text).substr(line->keyEnd + 1) : fallback);
}

std::int32_t IniFile::readInteger(std::string_view section, std::string_view key,
                                  std::int32_t fallback) const {
    const Line* line = findLine(section, key);
    std::int32_t value = fallback;
    if (line && parseIniInteger(std::string_view(line->text).substr(line->keyEnd + 1), value)) {
        return value;
    }
    return fallback;
}

bool IniFile::readBool(std::string_view section, std::string_view key, bool fallback) const {
    return readInteger(section, key, fallback ? 1 : 0) != 0;
}

void IniFile::writeString(std::string_view section, std::string_view key, std::string_view value) {
    std::string text(key);
    text += '=';
    text += value;
    if (Line* found = findLine(section, key)) {
        *found = makeLine(std::move(text));
        return;
    }
    Section* s = findSection(section);
    if (!s) {
        sections_.push_back({std::string(section), {}});
        s = &sections_.back();
    }
    s->lines.push_back(makeLine(std::move(text)));
}

void IniFile::writeInteger(std::string_view section, std::string_view key, std::int32_t value) {
    writeString(section, key, std::to_string(value));
}

void IniFile::writeBool(std::string_view section, std::string_view key, bool value) {
    writeString(section, key, value ? "1" : "0");
}

} // namespace harpoly
