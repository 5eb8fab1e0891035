#include "core/settings/settings.h"

#include "core/errors.h"
#include "core/settings/ini_file.h"
#include "platform/scratch_folder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>

namespace harpoly {

namespace {

using test::ScratchFolder;

std::string crlf(std::initializer_list<std::string> lines) {
    std::string text;
    for (const std::string& l : lines) {
        text += l + "\r\n";
    }
    return text;
}

const std::string kSeed = crlf({
    "[Ext]",
    "Ext=txt,htm,html,php,bat,ini,asx,smil,css,mpg,mpeg,wmv,asf,avi,jpg,jpeg,bmp,gif,png,rm,ram,"
    "ico",
    "Txt=txt,htm,html,php,bat,ini,asx,smil,css",
    "WM=mpg,mpeg,wmv,asf,avi",
    "Img=jpg,jpeg,bmp,ico",
    "Web=jpg,jpeg,bmp,gif,png",
    "Real=rm,ram",
});

Settings defaultsFor(const std::string& folder) {
    Settings d;
    d.outputFolder = folder;
    d.displayFolder = folder;
    return d;
}

class SettingsFile : public ::testing::Test {
protected:
    ScratchFolder dir;
    std::string path = dir.path() + "harpoly.ini";
    Settings defaults = defaultsFor(dir.path());
};

} // namespace

TEST_F(SettingsFile, FirstRunThenCloseAtTheDefaultsGivesTheExampleFile) {
    SeedSettingsFile(path);
    EXPECT_EQ(dir.read("harpoly.ini"), kSeed);

    const Settings loaded = LoadSettings(path, defaults);
    EXPECT_EQ(loaded.filterExtensions.size(), 22u);
    EXPECT_EQ(loaded.textExtensions, (std::vector<std::string>{"txt", "htm", "html", "php", "bat",
                                                               "ini", "asx", "smil", "css"}));
    EXPECT_EQ(loaded.imageExtensions, (std::vector<std::string>{"jpg", "jpeg", "bmp", "ico"}));
    Settings expected = defaults;
    expected.filterExtensions = loaded.filterExtensions;
    expected.textExtensions = loaded.textExtensions;
    expected.mediaExtensions = loaded.mediaExtensions;
    expected.imageExtensions = loaded.imageExtensions;
    EXPECT_EQ(loaded, expected);

    SaveSettings(path, loaded, false);
    const std::string& P = dir.path();
    EXPECT_EQ(dir.read("harpoly.ini"),
              kSeed + crlf({"", "[Set]", "H=500", "W=650", "T=50", "L=50", "Max=0", "Preview=0",
                            "AutoPlay=0", "FL_W=150", "Work=" + P, "Dir=" + P, "", "[ShortCut]",
                            "K1=13", "K2=8", "K3=45", ""}));
}

TEST_F(SettingsFile, ReadsHandWrittenValues) {
    const struct {
        const char* text;
        Settings (*expect)(Settings);
    } cases[] = {
        {"[Set]\nH=abc\nW=0x1F4\n",
         [](Settings s) {
             s.width = 500;
             return s;
         }},
        {"[Set]\nmax=1\nH=10\nW=20\nT=30\nL=40\n",
         [](Settings s) {
             s.maximised = true;
             s.top = 30;
             s.left = 40;
             return s;
         }},
        {"[Set]\nDir = /d/Photos/ \nWork=/no/slash\n",
         [](Settings s) {
             s.displayFolder = "/d/Photos/";
             s.outputFolder = "/no/slash";
             return s;
         }},
        {"[Ext]\nExt=jpg, png\n",
         [](Settings s) {
             s.filterExtensions = {"jpg", "png"};
             return s;
         }},
        {"[ShortCut]\nK1=8205\nK2=0x10025\nK3=-1\n",
         [](Settings s) {
             s.nextKey = 8205;
             s.previousKey = 0x25;
             s.pictureModeKey = 0xFFFF;
             return s;
         }},
        {"[Set]\nPreview=2\nAutoPlay=yes\nFL_W=-5\n",
         [](Settings s) {
             s.previewOff = true;
             s.listWidth = -5;
             return s;
         }},
    };
    defaults.nextKey = 100; // the caller's current keys are the defaults
    for (const auto& c : cases) {
        dir.write("harpoly.ini", c.text);
        EXPECT_EQ(LoadSettings(path, defaults), c.expect(defaults)) << c.text;
    }
    std::remove(path.c_str());
    EXPECT_EQ(LoadSettings(path, defaults), defaults); // a missing file reads as empty
    EXPECT_FALSE(std::ifstream(path).good());          // and loading never writes
}

TEST_F(SettingsFile, AFileOfRandomBytesGivesTheDefaults) {
    std::mt19937 rng(3);
    std::string bytes(256 * 1024, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(rng());
    }
    dir.write("harpoly.ini", bytes);
    EXPECT_EQ(LoadSettings(path, defaults), defaults);
    SaveSettings(path, defaults, false); // and the next save still writes a sound file
    EXPECT_EQ(LoadSettings(path, defaults), defaults);
}

TEST_F(SettingsFile, SaveKeepsForeignTextAndDropsCommentsAndBlanks) {
    dir.write("harpoly.ini", "stray line\r\n[Ext]\r\n; my comment\r\n\r\nExt = jpg, png\r\n"
                             "[Set]\r\nDir = /d/Photos/\r\nExtra=kept\r\n[Mine]\r\nA=1\r\n");
    Settings s = LoadSettings(path, defaults);
    EXPECT_EQ(s.displayFolder, "/d/Photos/");
    SaveSettings(path, s, false);
    EXPECT_EQ(dir.read("harpoly.ini"),
              crlf({"[Ext]",      "Ext=jpg, png", "",           "[Set]",    "Dir=/d/Photos/",
                    "Extra=kept", "H=500",        "W=650",      "T=50",     "L=50",
                    "Max=0",      "Preview=0",    "AutoPlay=0", "FL_W=150", "Work=" + dir.path(),
                    "",           "[Mine]",       "A=1",        "",         "[ShortCut]",
                    "K1=13",      "K2=8",         "K3=45",      ""}));
}

TEST_F(SettingsFile, MaximisedSaveLeavesThePlacementAlone) {
    Settings s = defaults;
    s.height = 700;
    s.width = 900;
    s.top = 10;
    s.left = 20;
    // First save while maximised: Max leads the new section.
    SaveSettings(path, s, true);
    IniFile ini(dir.read("harpoly.ini"));
    ASSERT_EQ(ini.sections().size(), 2u);
    EXPECT_EQ(ini.sections()[0].lines.front().text, "Max=1");
    EXPECT_FALSE(ini.hasKey("Set", "H"));

    // An unmaximised save appends H W T L after Dir and clears Max in place.
    SaveSettings(path, s, false);
    ini.parse(dir.read("harpoly.ini"));
    std::vector<std::string> lines;
    for (const auto& l : ini.sections()[0].lines) {
        lines.push_back(l.text);
    }
    EXPECT_EQ(lines, (std::vector<std::string>{"Max=0", "Preview=0", "AutoPlay=0", "FL_W=150",
                                               "Work=" + dir.path(), "Dir=" + dir.path(), "H=700",
                                               "W=900", "T=10", "L=20"}));

    // A maximised close with other numbers keeps the last unmaximised ones.
    s.height = s.width = s.top = s.left = 1;
    SaveSettings(path, s, true);
    const Settings back = LoadSettings(path, defaults);
    EXPECT_TRUE(back.maximised);
    EXPECT_EQ(back.height, 500); // not read while maximised: the design size
    EXPECT_EQ(back.width, 650);
    EXPECT_EQ(back.top, 10);
    EXPECT_EQ(back.left, 20);
    ini.parse(dir.read("harpoly.ini"));
    EXPECT_EQ(ini.readInteger("Set", "H", 0), 700);
    EXPECT_EQ(ini.readInteger("Set", "W", 0), 900);
}

TEST_F(SettingsFile, RoundTripsEveryValue) {
    SeedSettingsFile(path);
    Settings s = LoadSettings(path, defaults);
    s.height = -1;
    s.width = INT32_MAX;
    s.top = INT32_MIN;
    s.left = 0;
    s.previewOff = true;
    s.autoPlay = true;
    s.listWidth = 321;
    s.outputFolder = "/tmp/出力 folder/";
    s.displayFolder = "/tmp/\x95\x5C/";
    s.nextKey = 8205;
    s.previousKey = 16423;
    s.pictureModeKey = 0;
    SaveSettings(path, s, false);
    EXPECT_EQ(LoadSettings(path, defaults), s);
}

TEST_F(SettingsFile, AFolderALineCannotHoldKeepsTheOldValue) {
    dir.write("harpoly.ini", "[Set]\r\nDir=/old/\r\nWork=/old/\r\n");
    Settings s = defaults;
    s.displayFolder = "/tmp/a\nb/";
    s.outputFolder = " /lead/";
    SaveSettings(path, s, false);
    const Settings back = LoadSettings(path, defaults);
    EXPECT_EQ(back.displayFolder, "/old/");
    EXPECT_EQ(back.outputFolder, "/old/");
}

TEST_F(SettingsFile, AFailedWriteLeavesTheOldFileAndThrows) {
    const auto expectKind = [](const char* kindName, const auto& action) {
        try {
            action();
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            EXPECT_EQ(e.kind(), kindName);
        }
    };
    // A path below a regular file can never be created, not even by root.
    dir.write("plain", "x");
    const std::string below = dir.path() + "plain/harpoly.ini";
    expectKind(kind::FCreate, [&] { SeedSettingsFile(below); });
    expectKind(kind::FCreate, [&] { SaveSettings(below, defaults, false); });
    EXPECT_EQ(dir.read("plain"), "x");

    // A write cut short (here by a file size limit, which binds root too)
    // leaves the old file whole and no temporary file behind.
    dir.write("harpoly.ini", kSeed);
    {
        struct rlimit old {};
        ::getrlimit(RLIMIT_FSIZE, &old);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = old;
        small.rlim_cur = 64;
        ::setrlimit(RLIMIT_FSIZE, &small);
        expectKind(kind::FCreate, [&] { SaveSettings(path, defaults, false); });
        ::setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
    }
    EXPECT_EQ(dir.read("harpoly.ini"), kSeed);
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) {
        ++files;
    }
    EXPECT_EQ(files, 2u); // plain and harpoly.ini

    // A folder or a FIFO where the file should be cannot be read: an open
    // error, never a hang.
    ::mkdir((dir.path() + "dir.ini").c_str(), 0700);
    ::mkfifo((dir.path() + "fifo.ini").c_str(), 0600);
    for (const char* name : {"dir.ini", "fifo.ini"}) {
        expectKind(kind::FOpen, [&] { LoadSettings(dir.path() + name, defaults); });
        expectKind(kind::FOpen, [&] { SaveSettings(dir.path() + name, defaults, false); });
    }
}

} // namespace harpoly
