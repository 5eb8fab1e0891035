#include "core/settings/ini_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>

namespace harpoly {

TEST(IniFile, ReadsLinesAfterTheRulesOfTheFormat) {
    const IniFile ini("garbage=1\r\n"
                      "[Ext]\r\n"
                      "; comment=1\n"
                      "\r\n"
                      "  Txt = txt,htm  \r"
                      "\tImg=jpg\x01\n"
                      "no equals sign\r\n"
                      "[ set ]\n"
                      "max=1\n"
                      "H=abc\n"
                      "W=0x1F4\n"
                      "[SET]\n"
                      "T=7\r\n"
                      "T=8\r\n");
    const struct {
        const char* section;
        const char* key;
        const char* value; // nullptr: not found
    } cases[] = {
        {"Ext", "Txt",
         "txt,htm"},           // blanks around "=" and at the ends trimmed, CR alone ends a line
        {"EXT", "img", "jpg"}, // case ignored, control characters trimmed
        {"Ext", "garbage", nullptr},   // text before the first section dropped
        {"Ext", "; comment", nullptr}, // comment line dropped
        {"Ext", "no equals sign", nullptr},
        {"Set", "T", "8"},       // the later of two equal keys
        {"Set", "Max", nullptr}, // the later "[SET]" section is the one read
        {"set", "T", "8"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ini.hasKey(c.section, c.key), c.value != nullptr) << c.section << "/" << c.key;
        if (c.value) {
            EXPECT_EQ(ini.readString(c.section, c.key, "?"), c.value) << c.section << "/" << c.key;
        }
    }
    // The name between the brackets is trimmed.
    EXPECT_EQ(ini.sections()[1].name, "set");
}

TEST(IniFile, IntegersAreDecimalOrHexAfter0xElseTheDefault) {
    const std::pair<const char*, std::int32_t> cases[] = {
        {"500", 500},       {"-20", -20},
        {"+7", 7},          {"0x1F4", 500},
        {"0X1f4", 500},     {"0x", 99},
        {"0X", 99},         {"abc", 99},
        {"", 99},           {"12 3", 99},
        {"1.5", 99},        {"0xG", 99},
        {"$1F4", 99},       {"2147483647", 2147483647},
        {"2147483648", 99}, {"-2147483648", INT32_MIN},
        {"0xFFFFFFFF", -1}, {"0x100000000", 99},
        {"+-1", 99},        {"-", 99},
        {"007", 7},
    };
    for (const auto& [value, expected] : cases) {
        IniFile ini;
        ini.writeString("S", "K", value);
        EXPECT_EQ(ini.readInteger("S", "K", 99), expected) << '"' << value << '"';
    }
    IniFile ini("[S]\nB1=2\nB0=0\nBx=yes\n");
    EXPECT_TRUE(ini.readBool("S", "B1", false));
    EXPECT_FALSE(ini.readBool("S", "B0", true));
    EXPECT_TRUE(ini.readBool("S", "Bx", true));
    EXPECT_FALSE(ini.readBool("S", "Bx", false));
    EXPECT_TRUE(ini.readBool("S", "missing", true));
}

TEST(IniFile, WritesInPlaceAppendsAndAddsSectionsAtTheEnd) {
    IniFile ini("[A]\r\nx=1\r\nplain line\r\n[B]\r\nmax = 0\r\n[a]\r\ny=2\r\n");
    ini.writeString("b", "Max", "1"); // in place, under the program's spelling of the key
    ini.writeInteger("A", "z", -3);   // appended to the later "[a]"
    ini.writeString("A", "Y", "two"); // the later "[a]" holds y
    ini.writeBool("New", "K", true);  // new section at the end
    ini.writeString("New", "Path", "/a b/c=d/");
    EXPECT_EQ(ini.text(), "[A]\r\nx=1\r\nplain line\r\n\r\n"
                          "[B]\r\nMax=1\r\n\r\n"
                          "[a]\r\nY=two\r\nz=-3\r\n\r\n"
                          "[New]\r\nK=1\r\nPath=/a b/c=d/\r\n\r\n");
    EXPECT_EQ(IniFile(ini.text()).readString("new", "path", ""), "/a b/c=d/");
}

TEST(IniFile, HostileInputIsReadWithoutHarmAndQuickly) {
    static const char kNulBytes[] = "[Set]\0\nH=1\0\n\0\0\nW=2\0 3\n";
    std::mt19937 rng(7);
    std::string random(1 << 20, '\0');
    for (char& c : random) {
        c = static_cast<char>(rng());
    }
    std::string sections;
    for (int i = 0; i < 10000; ++i) {
        sections += "[S" + std::to_string(i) + "]\r\nK=" + std::to_string(i) + "\r\n";
    }
    const std::string longLine(1 << 20, 'x');
    const std::pair<const char*, std::string> inputs[] = {
        {"random bytes", random},
        {"NUL bytes", std::string(kNulBytes, sizeof kNulBytes - 1)},
        {"1 MB lines", "[Set]\n" + longLine + "\nH=" + longLine + "\n" + longLine + "=5\nW=3\n"},
        {"header without ]", "[Set\nH=1\n[Set]\nW=2\n[Other\nT=3\n"},
        {"10,000 sections", sections + "[Set]\nH=42\n"},
    };
    for (const auto& [what, text] : inputs) {
        const auto start = std::chrono::steady_clock::now();
        IniFile ini(text);
        ini.readInteger("Set", "H", 500);
        ini.readInteger("Set", "W", 650);
        ini.writeInteger("Set", "T", 1);
        const std::string written = ini.text();
        EXPECT_EQ(IniFile(written).text(), written) << what;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1)) << what;
    }
    EXPECT_EQ(IniFile(inputs[1].second).readInteger("Set", "H", 500), 1);
    // "W=2\0 3": the NUL stays inside the value, which is then no number.
    EXPECT_EQ(IniFile(inputs[1].second).readInteger("Set", "W", 650), 650);
    EXPECT_EQ(IniFile(inputs[2].second).readInteger("Set", "H", 500), 500);
    EXPECT_EQ(IniFile(inputs[2].second).readInteger("Set", "W", 650), 3);
    EXPECT_EQ(IniFile(inputs[3].second).readInteger("Set", "H", 500), 500);
    EXPECT_EQ(IniFile(inputs[3].second).readInteger("Set", "W", 650), 2);
    // "[Other" opens no section: T=3 still belongs to the second [Set].
    EXPECT_EQ(IniFile(inputs[3].second).readInteger("Set", "T", 50), 3);
    EXPECT_EQ(IniFile(inputs[4].second).readInteger("s9999", "K", 0), 9999);
    EXPECT_EQ(IniFile(inputs[4].second).readInteger("Set", "H", 500), 42);
}

} // namespace harpoly
