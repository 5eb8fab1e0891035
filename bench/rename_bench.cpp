// Renames 10,000 selected files of a 10,000-entry list through the rename walk,
// against a plain C loop of renameat2 over the same files, each on its own copy
// of ROOT/rename. Both end with one read of the folder, as the list refresh does.
#include "bench_ports.h"
#include "core/app/ui_ports.h"
#include "core/batch/batch_renames.h"
#include "core/browse/file_list_port.h"
#include "core/platform/code_page.h"
#include "core/platform/file_move.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

std::vector<std::string> readFolder(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* e = ::readdir(dir)) {
            if (e->d_name[0] != '.') {
                names.emplace_back(e->d_name);
            }
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The list as the window holds it: every entry selected; refresh re-reads the folder.
class AllSelected : public harpoly::FileListPort {
public:
    AllSelected(std::string folder, std::vector<std::string> names)
        : folder_(std::move(folder)), names_(std::move(names)) {}
    int count() const override { return static_cast<int>(names_.size()); }
    std::string name(int i) const override { return names_[static_cast<std::size_t>(i)]; }
    bool isSelected(int) const override { return true; }
    bool anySelected() const override { return !names_.empty(); }
    int currentIndex() const override { return 0; }
    void refresh(const std::string&) override { names_ = readFolder(folder_); }

private:
    std::string folder_;
    std::vector<std::string> names_;
};

// A fresh folder holding the source's files as hard links: a rename only
// touches the folder, so the files' content need not be copied, and no
// written data waits to be flushed while the renames are timed (which used
// to take a sync() of the whole system each round). Copies only where links
// cannot be made (another file system).
std::string freshCopy(const std::string& source, const std::string& work, const char* tag) {
    const std::string dest = work + "/" + tag + "/";
    std::filesystem::remove_all(dest);
    std::filesystem::create_directory(dest);
    for (const auto& n : readFolder(source)) {
        if (::link((source + n).c_str(), (dest + n).c_str()) != 0) {
            std::filesystem::copy_file(source + n, dest + n);
        }
    }
    return dest;
}

double harpolyRun(const std::string& folder) {
    AllSelected list(folder, readFolder(folder));
    bench::AlwaysOk yes;
    bench::CountingBar bar;
    const harpoly::BatchPorts ports{list, yes, bar, harpoly::moveFileNoReplace,
                                    harpoly::utf8CodePage()};
    const auto t0 = Clock::now();
    harpoly::renameNumbered(ports, folder, "リネーム1", "P", 1);
    const auto t1 = Clock::now();
    return std::chrono::duration<double, std::milli>(t1 - t0).count();
}

double referenceRun(const std::string& folder) {
    const std::vector<std::string> names = readFolder(folder);
    const auto t0 = Clock::now();
    char from[4096], to[4096];
    int n = 1;
    for (const auto& name : names) {
        std::snprintf(from, sizeof from, "%s%s", folder.c_str(), name.c_str());
        std::snprintf(to, sizeof to, "%sP%d.jpg", folder.c_str(), n++);
        ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE);
    }
    const std::vector<std::string> after = readFolder(folder);
    const auto t1 = Clock::now();
    if (after.size() != names.size()) {
        std::fprintf(stderr, "reference lost files\n");
    }
    return std::chrono::duration<double, std::milli>(t1 - t0).count();
}

} // namespace

int main(int argc, char** argv) {
    const std::string root = argc > 1 ? argv[1] : "/work/corpus";
    const std::string source = root + "/rename/";
    const std::size_t count = readFolder(source).size();
    if (count == 0) {
        std::fprintf(stderr, "no files in %s\n", source.c_str());
        return 1;
    }
    char work[] = "/tmp/harpoly-rename-bench-XXXXXX";
    if (!::mkdtemp(work)) {
        return 1;
    }
    double best = 1e300, bestRef = 1e300;
    for (int round = 0; round < 4; ++round) {
        const std::string a = freshCopy(source, work, "harpoly");
        const std::string b = freshCopy(source, work, "reference");
        // Alternate which goes first, so neither always finds a warmer cache.
        double lastA, lastB;
        if (round % 2 == 0) {
            lastA = harpolyRun(a);
            lastB = referenceRun(b);
        } else {
            lastB = referenceRun(b);
            lastA = harpolyRun(a);
        }
        best = std::min(best, lastA);
        bestRef = std::min(bestRef, lastB);
        if (std::getenv("BENCH_VERBOSE")) {
            std::fprintf(stderr, "round %d: harpoly %.1f, reference %.1f\n", round, lastA, lastB);
        }
        if (readFolder(a) != readFolder(b)) {
            std::fprintf(stderr, "the two runs named the files differently\n");
            return 1;
        }
    }
    std::filesystem::remove_all(work);
    std::printf("numbered rename of %zu selected files (best of 4), harpoly %.1f ms, "
                "renameat2 loop %.1f ms, ratio %.2f\n",
                count, best, bestRef, best / bestRef);
    return 0;
}
