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

TEST(SettingsLocation, AnInstalledCopyNeverWritesBesideItself) {
    // P/bin/ is writable here (as /usr/bin is for root); what tells an
    // installed copy is our desktop entry in P/share/applications/.
    const struct {
        const char* entry; // made under P/share/applications/, "" for none
        bool asFolder;
        bool installed;
    } cases[] = {
        {kDesktopEntryName, false, true},
        {"", false, false},
        {"other.desktop", false, false},
        {kDesktopEntryName, true, false},
    };
    for (const auto& c : cases) {
        ScratchFolder prefix;
        makeFolders(prefix.path() + "bin/");
        makeFolders(prefix.path() + "share/applications/");
        const std::string entry = prefix.path() + "share/applications/" + c.entry;
        if (c.asFolder) {
            makeFolders(entry + "/");
        } else if (*c.entry) {
            prefix.write(std::string("share/applications/") + c.entry, "[Desktop Entry]\n");
        }
        const std::string bin = prefix.path() + "bin/";
        const std::string home = prefix.path() + "home/";
        const SettingsLocation loc = locateSettings(bin, prefix.path() + "cfg", home);
        EXPECT_EQ(loc.file,
                  c.installed ? prefix.path() + "cfg/harpoly/harpoly.ini" : bin + "harpoly.ini")
            << c.entry << " " << c.asFolder;
        EXPECT_EQ(loc.defaultFolder, c.installed ? home : bin) << c.entry << " " << c.asFolder;
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
