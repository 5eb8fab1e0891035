#include "core/platform/shown_name.h"
#include "core/platform/single_instance.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <unistd.h>

namespace harpoly {

TEST(SingleInstanceLockPath, RuntimeDirElseTmpWithUid) {
    EXPECT_EQ(singleInstanceLockPath("/run/user/1000", 1000), "/run/user/1000/harpoly.lock");
    EXPECT_EQ(singleInstanceLockPath("/run/user/7/", 7), "/run/user/7/harpoly.lock");
    EXPECT_EQ(singleInstanceLockPath(nullptr, 1000), "/tmp/harpoly-1000.lock");
    EXPECT_EQ(singleInstanceLockPath("", 42), "/tmp/harpoly-42.lock");
}

TEST(SingleInstanceLock, SecondHolderIsRefusedUntilFirstIsReleased) {
    char dir[] = "/tmp/harpoly-lock-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string path = std::string(dir) + "/harpoly.lock";
    {
        auto first = SingleInstanceLock::acquire(path);
        ASSERT_TRUE(first.has_value());
        // flock locks belong to the open file description, so a second open
        // in the same process is refused just as another process would be.
        EXPECT_FALSE(SingleInstanceLock::acquire(path).has_value());
    }
    EXPECT_TRUE(SingleInstanceLock::acquire(path).has_value());
    EXPECT_FALSE(SingleInstanceLock::acquire(std::string(dir) + "/missing/x.lock").has_value());
    unlink(path.c_str());
    rmdir(dir);
}

TEST(ShownName, Utf8ThenCp932ThenReplacement) {
    const std::pair<std::string, std::string> cases[] = {
        {"photo.jpg", "photo.jpg"},
        {"写真.jpg", "写真.jpg"},
        {"\x8E\xCA\x90\x5E.jpg", "写真.jpg"},               // Shift-JIS bytes
        {"a\xFF\xFE.txt", "a\xEF\xBF\xBD\xEF\xBF\xBD.txt"}, // neither: U+FFFD each
        {"end\x81", "end\xEF\xBF\xBD"},                     // lone lead byte
    };
    for (const auto& [bytes, shown] : cases) {
        EXPECT_EQ(shownName(bytes), shown);
    }
}

} // namespace harpoly
