#include "core/platform/whole_file.h"

#include "core/errors.h"
#include "core/settings/settings.h"
#include "platform/scratch_folder.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace harpoly {

namespace {

using test::ScratchFolder;

std::string kindOf(const auto& action) {
    try {
        action();
    } catch (const Error& e) {
        return e.kind();
    }
    return "no error";
}

std::set<std::string> namesInFolder(const std::string& folder) {
    std::set<std::string> names;
    if (DIR* d = ::opendir(folder.c_str())) {
        while (const dirent* e = ::readdir(d)) {
            if (e->d_name[0] != '.') {
                names.insert(e->d_name);
            }
        }
        ::closedir(d);
    }
    return names;
}

} // namespace

TEST(WholeFile, ReadsUpToTheCapAndTellsAShortenedRead) {
    ScratchFolder dir;
    struct Case {
        std::string content;
        std::size_t cap;
        std::string read;
        bool shortened;
    };
    const Case cases[] = {
        {"", 10, "", false},         {"abc", 10, "abc", false}, {"abcdef", 6, "abcdef", false},
        {"abcdef", 4, "abcd", true}, {"abc", 0, "", true},      {"abc", kNoReadCap, "abc", false},
    };
    for (const Case& c : cases) {
        dir.write("f", c.content);
        const FileBytes bytes = readFileHead(dir.path() + "f", c.cap);
        EXPECT_EQ(bytes.view(), c.read) << c.content << " cap " << c.cap;
        EXPECT_EQ(bytes.shortened(), c.shortened) << c.content << " cap " << c.cap;
        EXPECT_EQ(bytes.fileSize, c.content.size());
    }
}

TEST(WholeFile, ReadsOnWhenTheFileGrewSinceItWasOpened) {
    ScratchFolder dir;
    dir.write("f", "abc");
    ReadableFile file(dir.path() + "f");
    dir.write("f", std::string(100000, 'x'));
    const FileBytes bytes = file.read();
    EXPECT_EQ(bytes.size, 100000u);
    EXPECT_FALSE(bytes.shortened());
}

TEST(WholeFile, RefusesWhatIsNoRegularFileWithoutWaiting) {
    ScratchFolder dir;
    ::mkdir((dir.path() + "folder").c_str(), 0700);
    ::mkfifo((dir.path() + "fifo").c_str(), 0600);
    for (const char* name : {"folder", "fifo", "missing", "missing/below"}) {
        const std::string path = dir.path() + name;
        EXPECT_EQ(kindOf([&] { readFileHead(path, 10); }), kind::FOpen) << name;
    }
    // Only a missing file is no error to the whole-file reader.
    EXPECT_FALSE(readWholeFile(dir.path() + "missing"));
    EXPECT_FALSE(readWholeFile(dir.path() + "missing/below"));
    EXPECT_EQ(kindOf([&] { readWholeFile(dir.path() + "fifo"); }), kind::FOpen);
}

TEST(WholeFile, OverwriteReplacesTheContentInPlace) {
    ScratchFolder dir;
    dir.write("f", "a longer old content");
    overwriteFile(dir.path() + "f", std::string_view("new"));
    EXPECT_EQ(dir.read("f"), "new");
    dir.write("plain", "x");
    EXPECT_EQ(kindOf([&] { overwriteFile(dir.path() + "plain/below", std::string_view("y")); }),
              kind::FCreate);
    // A FIFO in the file's place, with no reader, is refused at once.
    ::mkfifo((dir.path() + "fifo").c_str(), 0600);
    EXPECT_EQ(kindOf([&] { overwriteFile(dir.path() + "fifo", std::string_view("y")); }),
              kind::FCreate);
}

// A save broken off between the creation of its temporary and the rename
// leaves the temporary behind; the next start (loading the settings) or the
// next save takes it away, unless a live writer still holds it.
TEST(WholeFile, TemporariesOfABrokenOffSaveGoAtTheNextStartOrSave) {
    ScratchFolder dir;
    const std::string path = dir.path() + "harpoly.ini";
    writeWholeFile(path, "[Set]\r\n");
    EXPECT_EQ(namesInFolder(dir.path()), std::set<std::string>{"harpoly.ini"});

    dir.write("harpoly.ini.tmp-99999-0", "half a save");
    dir.write("harpoly.ini.tmp-99999-1", "");
    dir.write("other.ini.tmp-99999-0", "not ours to judge");
    const int held = ::open((dir.path() + "harpoly.ini.tmp-4242-7").c_str(),
                            O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0); // a writer at work
    LoadSettings(path, Settings{});
    EXPECT_EQ(
        namesInFolder(dir.path()),
        (std::set<std::string>{"harpoly.ini", "harpoly.ini.tmp-4242-7", "other.ini.tmp-99999-0"}));
    ::close(held);

    dir.write("harpoly.ini.tmp-99999-2", "another");
    writeWholeFile(path, "[Set]\r\nW=1\r\n");
    EXPECT_EQ(namesInFolder(dir.path()),
              (std::set<std::string>{"harpoly.ini", "other.ini.tmp-99999-0"}));
    EXPECT_EQ(dir.read("harpoly.ini"), "[Set]\r\nW=1\r\n");
}

} // namespace harpoly
