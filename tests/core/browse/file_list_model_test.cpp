#include "core/browse/file_list_model.h"

#include "core/platform/code_page.h"
#include "core/platform/directory_reader.h"
#include "platform/scratch_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace harpoly {

using test::ScratchFolder;
using Names = std::vector<std::string>;

namespace {

const std::string kSjisHyo = "\x95\x5C.txt"; // Shift-JIS "表": not valid UTF-8

// The fixture of the listing rules: three files of mixed case, a sub-folder
// and every kind of entry that is never listed.
class FileList : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"b.txt", "A.jpg", "c.TXT", ".hidden"}) {
            dir.write(name, "x");
        }
        ::mkdir((dir.path() + "d").c_str(), 0700);
        ::mkfifo((dir.path() + "pipe.jpg").c_str(), 0600);
        ::symlink("nowhere", (dir.path() + "broken.jpg").c_str());
        ::symlink("d", (dir.path() + "dirlink.jpg").c_str());
        ::symlink("A.jpg", (dir.path() + "link.jpg").c_str());
        dir.write("d/inner.jpg", "x");
    }

    Names refreshed(const std::string& filter, const std::string& name = {}) {
        model.setFolder(dir.path());
        model.setFilter(filter);
        model.refresh(name);
        return model.names();
    }

    ScratchFolder dir;
    FileListModel model{utf8CodePage()};
};

} // namespace

TEST_F(FileList, ListsMatchingRegularFilesSortedIgnoringCase) {
    const std::pair<const char*, Names> cases[] = {
        {"*.*", {".hidden", "A.jpg", "b.txt", "c.TXT", "link.jpg"}},
        {"*", {".hidden", "A.jpg", "b.txt", "c.TXT", "link.jpg"}},
        {"*.jpg", {"A.jpg", "link.jpg"}},
        {"*.JPG", {"A.jpg", "link.jpg"}},
        {"*.txt", {"b.txt", "c.TXT"}},
        {"?.*", {"A.jpg", "b.txt", "c.TXT"}},
        {"d/*.*", {"inner.jpg"}}, // a folder part in the filter searches there
        {"*.png", {}},
        {"", {}},
    };
    for (const auto& [filter, names] : cases) {
        EXPECT_EQ(refreshed(filter), names) << filter;
    }
}

TEST_F(FileList, RefreshReselectsByExactNameAndClearsTheSelection) {
    refreshed("*.*");
    model.setSelected(1, true);
    model.setSelected(3, true);
    model.setCurrent(4);
    EXPECT_TRUE(model.anySelected());
    EXPECT_TRUE(model.isSelected(1));
    EXPECT_FALSE(model.isSelected(4)); // current and selection are apart
    EXPECT_EQ(model.SelectedName(-1), "link.jpg");
    EXPECT_EQ(model.SelectedName(2), "b.txt");

    int callbacks = 0;
    model.setOnRefreshed([&] { ++callbacks; });
    const std::pair<const char*, int> cases[] = {
        {"c.TXT", 3},
        {"c.txt", 0}, // case matters when finding the name again
        {"", 0},
        {"gone.txt", 0},
    };
    for (const auto& [name, current] : cases) {
        refreshed("*.*", name);
        EXPECT_EQ(model.currentIndex(), current) << name;
        EXPECT_FALSE(model.anySelected()) << name;
    }
    EXPECT_EQ(callbacks, 4);

    dir.write("Photo.jpg", "x");
    refreshed("*.jpg", "photo.jpg");
    EXPECT_EQ(model.SelectedName(-1), "A.jpg");
    refreshed("*.jpg", "Photo.jpg");
    EXPECT_EQ(model.SelectedName(-1), "Photo.jpg");
}

TEST_F(FileList, AnEmptyOrMissingFolderGivesAnEmptyList) {
    for (const std::string& folder : {dir.path() + "d/nothing/", dir.path() + "b.txt/",
                                      std::string("/proc/1/fdinfo/no/"), std::string("")}) {
        model.setFolder(folder);
        model.setFilter("*.*");
        model.refresh("b.txt");
        EXPECT_EQ(model.count(), 0) << folder;
        EXPECT_EQ(model.currentIndex(), -1);
        EXPECT_FALSE(model.anySelected());
        EXPECT_EQ(model.SelectedName(-1), "");
        EXPECT_EQ(model.SelectedName(5), "");
    }
}

TEST_F(FileList, SocketsAreNeverListed) {
    const std::string socketPath = dir.path() + "sock.jpg";
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    ASSERT_LT(socketPath.size(), sizeof addr.sun_path);
    std::copy(socketPath.begin(), socketPath.end(), addr.sun_path);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    EXPECT_EQ(refreshed("*.jpg"), (Names{"A.jpg", "link.jpg"}));
    ::close(fd);
    // Device nodes: /dev holds them and no regular files worth listing.
    const Names devices = listRegularFiles("/dev/");
    EXPECT_EQ(std::count(devices.begin(), devices.end(), "null"), 0);
}

TEST_F(FileList, ANameThatIsNotUtf8IsListedSortedAndFoundAgain) {
    dir.write(kSjisHyo, "x");
    dir.write("z.txt", "x");
    EXPECT_EQ(refreshed("*.txt", kSjisHyo), (Names{"b.txt", "c.TXT", "z.txt", kSjisHyo}));
    EXPECT_EQ(model.SelectedName(-1), kSjisHyo);
    // Under the CP932 rules the same bytes are one character.
    FileListModel sjis(cp932CodePage());
    sjis.setFolder(dir.path());
    sjis.setFilter("?.TXT");
    sjis.refresh(kSjisHyo);
    EXPECT_EQ(sjis.names(), (Names{"b.txt", "c.TXT", "z.txt", kSjisHyo}));
    EXPECT_EQ(sjis.SelectedName(-1), kSjisHyo);
}

TEST(FileListSort, OrderIsTotalAndIgnoresCaseFirst) {
    Names names = {"b", "B", "_x", "a", "A", "a.txt", "A.txt", "[", "Z", "\xE3\x81\x82", "1"};
    sortFileNames(names, utf8CodePage());
    // Lower-casing puts "[" and "_" before the letters; equal keys go by bytes.
    EXPECT_EQ(names,
              (Names{"1", "[", "_x", "A", "a", "A.txt", "a.txt", "B", "b", "Z", "\xE3\x81\x82"}));
}

TEST(FileListSort, LongNamesSharingTheirStartSortLikeTheReference) {
    // Many names share their first eight bytes, so the sort must go on past
    // them; the reference order is the lower-cased name, then the bytes.
    const char* parts[] = {"report_",  "REPORT_", "Report ", "\xE5\x86\x99",
                           "\x95\x5C", "a",       "A",       "_"};
    std::mt19937 rng(11);
    Names names;
    for (int i = 0; i < 3000; ++i) {
        std::string n;
        for (int k = 0; k < 4; ++k) {
            n += parts[rng() % std::size(parts)];
        }
        names.push_back(n + std::to_string(rng() % 50));
    }
    for (const CodePage* cp : {&utf8CodePage(), &cp932CodePage()}) {
        Names sorted = names;
        sortFileNames(sorted, *cp);
        Names reference = names;
        std::stable_sort(reference.begin(), reference.end(), [&](const auto& a, const auto& b) {
            const std::string la = cp->lower(a);
            const std::string lb = cp->lower(b);
            return la != lb ? la < lb : a < b;
        });
        EXPECT_EQ(sorted, reference) << cp->name();
    }
}

} // namespace harpoly
