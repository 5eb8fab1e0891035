#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace harpoly {

// An ini file held in memory: read whole, changed in place, written whole.
//
// Reading: a line ends at CR, LF or CR LF and is trimmed of blanks and control
// characters at both ends; empty lines, lines beginning with ";" and lines
// before the first "[section]" are dropped. A line holding "=" is stored as
// key=value with both parts trimmed; any other line is kept as it is and never
// matches a key. Section names and keys match without regard to ASCII letter
// case; when one occurs twice, the later one is read and changed.
//
// Writing: "[name]", the section's lines, one empty line, for each section in
// order, every line ending in CR LF.
class IniFile {
public:
    IniFile() = default;
    explicit IniFile(std::string_view text) { parse(text); }

    // Replaces the content by `text`.
    void parse(std::string_view text);
    // The whole file as it is written to disk.
    std::string text() const;

    bool hasSection(std::string_view section) const;
    bool hasKey(std::string_view section, std::string_view key) const;

    std::string readString(std::string_view section, std::string_view key,
                           std::string_view fallback) const;
    // Decimal with an optional sign, or hexadecimal after "0x"/"0X" when the
    // value is longer than two characters; anything else gives `fallback`.
    std::int32_t readInteger(std::string_view section, std::string_view key,
                             std::int32_t fallback) const;
    // An integer that is not zero; `fallback` when the value is no integer.
    bool readBool(std::string_view section, std::string_view key, bool fallback) const;

    // Changes the key's line in place, or adds it at the end of its section;
    // a missing section is added at the end of the file under `section`.
    void writeString(std::string_view section, std::string_view key, std::string_view value);
    void writeInteger(std::string_view section, std::string_view key, std::int32_t value);
    void writeBool(std::string_view section, std::string_view key, bool value);

    struct Line {
        std::string text;   // "key=value", or a line without "="
        std::size_t keyEnd; // position of the first "=", npos when there is none
    };
    struct Section {
        std::string name;
        std::vector<Line> lines;
    };
    const std::vector<Section>& sections() const { return sections_; }

private:
    const Section* findSection(std::string_view name) const;
    Section* findSection(std::string_view name);
    const Line* findLine(std::string_view section, std::string_view key) const;
    Line* findLine(std::string_view section, std::string_view key);

    std::vector<Section> sections_;
};

// The integer rule of the file, on its own (used by readInteger).
bool parseIniInteger(std::string_view text, std::int32_t& value);

} // namespace harpoly
