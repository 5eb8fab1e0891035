#include "core/app/key_names.h"

#include <gtest/gtest.h>

namespace harpoly {

TEST(KeyNames, NameTheKeyWithItsModifiersInOrder) {
    const std::pair<int, const char*> cases[] = {
        {13, "Enter"},
        {8, "BkSp"},
        {45, "Ins"},
        {27, "Esc"},
        {32, "Space"},
        {9, "Tab"},
        {33, "PgUp"},
        {34, "PgDn"},
        {35, "End"},
        {36, "Home"},
        {37, "Left"},
        {38, "Up"},
        {39, "Right"},
        {40, "Down"},
        {46, "Del"},
        {'A', "A"},
        {'Z', "Z"},
        {'0', "0"},
        {'9', "9"},
        {0x70, "F1"},
        {0x7B, "F12"},
        {8205, "Shift+Enter"},
        {16423, "Ctrl+Right"},
        {0x8000 + 'X', "Alt+X"},
        {0xE000 + 0x71, "Shift+Ctrl+Alt+F2"},
        {0x6000 + 46, "Shift+Ctrl+Del"},
        {19, "Pause"},
        {44, "PrtSc"},
        {0x87, "F24"},
        {0x60, "Num 0"},
        {0x69, "Num 9"},
        {0x6A, "Num *"},
        {0x8000 + 0x6B, "Alt+Num +"},
        {0x6D, "Num -"},
        {0x6E, "Num ."},
        {0x6F, "Num /"},
        {0xBA, ";"},
        {0xBB, "="},
        {0x4000 + 0xBC, "Ctrl+,"},
        {0xBD, "-"},
        {0xBE, "."},
        {0xBF, "/"},
        {0xC0, "`"},
        {0xDB, "["},
        {0xDC, "\\"},
        {0xDD, "]"},
        {0xDE, "'"},
        {7, "Key 7"}, // no key gives it: a hand-edited settings file
        {0, ""},
        {0x2000, ""}, // no key, modifier alone
    };
    for (const auto& [code, name] : cases) {
        EXPECT_EQ(keyName(static_cast<ShortcutCode>(code)), name) << code;
    }
}

} // namespace harpoly
