#include "core/settings/settings_location.h"

#include "core/platform/folders.h"
#include "platform/scratch_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace harpoly {

using test::ScratchFolder;

namespace {

bool isFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

TEST(SettingsLocation, AWritableProgramFolderHoldsTheFile) {
    ScratchFolder dir;
    const SettingsLocation loc = locateSettings(dir.path(), "/nowhere", "/nowhere");
    EXPECT_EQ(loc.file, dir.path() + "harpoly.ini");
    EXPECT_EQ(loc.defaultFolder, dir.path());
}

TEST(SettingsLocation, ElseTheUsersConfigFolderWhichIsCreated) {
    ScratchFolder dir;
    dir.write("file", "x");
    // A "folder" below a regular file is never writable, not even for root.
    const std::string readOnlyProgram = dir.path() + "file/bin/";
    const std::string home = dir.path() + "home";
    const struct {
        std::string xdg;
        std::string folder;
    } cases[] = {
        {dir.path() + "xdg", dir.path() + "xdg/harpoly/"},
        {dir.path() + "xdg2/", dir.path() + "xdg2/harpoly/"},
        {"", home + "/.config/harpoly/"},
        {"relative/cfg", home + "/.config/harpoly/"}, // not absolute: ignored
    };
    for (const auto& c : cases) {
        const SettingsLocation loc = locateSettings(readOnlyProgram, c.xdg, home);
        EXPECT_EQ(loc.file, c.folder + "harpoly.ini") << c.xdg;
        EXPECT_EQ(loc.defaultFolder, home + "/") << c.xdg;
        EXPECT_TRUE(isFolder(c.folder)) << c.folder;
    }
}

TEST(SettingsLocation, ProgramFolderIsTheFolderOfThisExecutable) {
    const std::string folder = programFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.front(), '/');
    EXPECT_EQ(folder.back(), '/');
    EXPECT_TRUE(isFolder(folder));
}

} // namespace harpoly
