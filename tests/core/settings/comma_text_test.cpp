#include "core/settings/comma_text.h"

#include <gtest/gtest.h>

namespace harpoly {

using Items = std::vector<std::string>;

TEST(CommaText, SplitsAfterTheQuotingRules) {
    const std::pair<const char*, Items> cases[] = {
        {"", {}},
        {"   ", {}},
        {"jpg", {"jpg"}},
        {"jpg, png", {"jpg", "png"}},
        {"jpg png\ttxt", {"jpg", "png", "txt"}}, // a blank ends an item
        {"  jpg ,  png  ", {"jpg", "png"}},
        {"a,,b", {"a", "", "b"}},
        {"a,", {"a", ""}}, // a comma at the very end
        {"a, ", {"a"}},    // ... but not before trailing blanks
        {",a", {"", "a"}},
        {"a, ,b", {"a", "", "b"}},
        {"\"a, b\",c", {"a, b", "c"}},          // quoted commas and blanks
        {"\"say \"\"hi\"\"\"", {"say \"hi\""}}, // doubled quote
        {"\"open", {"open"}},                   // quote never closed
        {"\"ab\"cd,e", {"ab", "cd", "e"}},
        {"\"\"", {""}},
        {"JPG,Png", {"JPG", "Png"}}, // letter case kept
        {"\x95\x5C,\xE8\xA1\xA8", {"\x95\x5C", "\xE8\xA1\xA8"}},
    };
    for (const auto& [text, items] : cases) {
        EXPECT_EQ(splitCommaText(text), items) << '"' << text << '"';
    }
}

TEST(CommaText, JoinQuotesWhatSplitWouldBreak) {
    const Items items = {"jpg", "a b", "x,y", "say \"hi\"", "", "tab\there"};
    const std::string text = joinCommaText(items);
    EXPECT_EQ(text, "jpg,\"a b\",\"x,y\",\"say \"\"hi\"\"\",\"\",\"tab\there\"");
    EXPECT_EQ(splitCommaText(text), items);
    EXPECT_EQ(splitCommaText(joinCommaText({""})), Items{""});
}

} // namespace harpoly
